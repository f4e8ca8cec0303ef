// Drawing the population overlay: light text on black, which the window
// combines with the world by XOR so the background leaves the world as is.
#pragma once

#include <QFont>
#include <QImage>

#include "display/render/overlay_lines.h"

namespace kesmir {

// "Liberation Mono", 14 points at `dotsPerInchY` (the screen's vertical
// resolution), weight 600, fixed pitch.
QFont overlayFont(double dotsPerInchY);

// Repaints the whole 350 x 200 overlay image from `state`.
void displayData(QImage& overlay, const QFont& font, const OverlayState& state);

}  // namespace kesmir
