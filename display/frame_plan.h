// Which content pixels the next frame draws, and where in the image.
#pragma once

#include "display/frame_buffers.h"

namespace kesmir {

// What the window shows: the zoom, and the content pixels under its client
// area (they may reach past the world's end).
struct WorldView {
    Zoom zoom = kOnePixelPerCell;
    PixelRect shown{0, 0, 300, 300};
};

struct FramePlan {
    PixelRect area;        // the content pixels to draw
    FrameLayout layout;    // what the image holds once they are drawn
    bool renewal = false;  // the whole content, once, for an image of another zoom
};

// Pixels drawn around the view beyond what it shows: a line of scrolling
// finds them already drawn.
inline constexpr int32_t kFrameMargin = 20;

// Zoomed out or at one pixel per cell, the image holds the whole content:
// all of it is drawn when the image was last drawn at another zoom (or
// never), else
// only the part in view and the margin around it. Zoomed in, the part in
// view and its margin (as much as fits the image) is drawn at the image's
// top-left corner.
FramePlan planFrame(const WorldView& view, const FrameLayout& back);

}  // namespace kesmir
