// The window's entry to spot sampling: the second left click of a selection
// calls spotSample once it has stored the click in LR.
#pragma once

#include "world/zoom.h"

class QWidget;

namespace kesmir {

// Orders the corners, takes the spot sample of the client rectangle UL-LR shown with the given
// scroll positions at `zoom`, writes "spot.dat" while `store` is set, and runs "Choose a Report"
// modally over `owner`.
void spotSample(QWidget* owner, int hScrollPos, int vScrollPos, Zoom zoom = kOnePixelPerCell);

}  // namespace kesmir
