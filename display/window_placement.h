// Where a second window opens beside the main one, so that it lies wholly on
// the screen whatever the screen's size.
#pragma once

#include <QRect>
#include <QSize>

namespace kesmir {

// A frame of `size` to the right of the frame `beside`, `gap` pixels apart
// and level with its top, moved left or up as far as it takes to lie on
// `screen`, and shrunk to the screen when it is larger.
QRect placedBeside(const QRect& beside, QSize size, const QRect& screen, int gap);

}  // namespace kesmir
