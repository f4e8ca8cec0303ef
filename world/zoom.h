// How the world is laid out on screen at a zoom, and the arithmetic between
// screen pixels and cells.
//
// The view works in content pixels: the whole world drawn at the zoom, pixel
// (0, 0) showing cell (0, 0); the scroll positions name the content pixel at
// the window's top-left corner. Zoomed out, content pixel p covers the cells
// cellAt(p) up to but not including cellAt(p + 1); zoomed in, each cell is a
// square of whole pixels. All arithmetic is on integers, so a pixel and the
// cell it shows never disagree by a rounding.
#pragma once

#include <array>
#include <cstdint>

namespace kesmir {

// `pixels` screen pixels show `cells` cells along each axis. Zoomed in (or at
// one pixel per cell) `cells` is 1.
struct Zoom {
    int32_t pixels = 1;
    int32_t cells = 1;

    bool zoomedOut() const { return pixels < cells; }
    // The same scale, however written.
    friend bool operator==(Zoom a, Zoom b) {
        return int64_t{a.pixels} * b.cells == int64_t{b.pixels} * a.cells;
    }
    friend bool operator<(Zoom a, Zoom b) {
        return int64_t{a.pixels} * b.cells < int64_t{b.pixels} * a.cells;
    }
};

inline constexpr Zoom kOnePixelPerCell{1, 1};
inline constexpr std::array<Zoom, 7> kZoomLevels{
    {{1, 8}, {1, 4}, {1, 2}, {1, 1}, {2, 1}, {4, 1}, {8, 1}}};

// A zoomed-out pixel covers at most this many cells along an axis.
inline constexpr int32_t kMaxCellsPerPixel = 64;

// The width (and height) of the world in content pixels; the last pixel may
// cover fewer cells than the others.
int32_t contentExtent(Zoom zoom);

// The cell a content pixel shows (zoomed out: the first of those it covers),
// which is also the cell a click on it selects. Pixels past the world give
// cells of 3500 and beyond.
int32_t cellAt(Zoom zoom, int32_t contentPixel);

// The content pixel that shows `cell`: zoomed in, the first of its square;
// zoomed out, the one that covers it.
int32_t pixelShowing(Zoom zoom, int32_t cell);

// The largest scale at which the world and the line past its end fit into
// the client's shorter side; never above one pixel per cell, never below
// kMaxCellsPerPixel cells per pixel.
Zoom fittedZoom(int32_t clientWidth, int32_t clientHeight);

// The next listed level above (direction > 0) or below (direction < 0)
// `zoom`, which need not be a listed level; `zoom` itself past either end.
Zoom steppedZoom(Zoom zoom, int direction);

// The scroll position along one axis after the zoom changes from `from` to
// `to`, such that the cell under the client position `anchor` (scrolled to
// `position` before) is still under it. Zoomed in, the pointer also keeps
// its place inside the cell. The caller clamps the result to the scroll
// range.
int32_t anchoredPosition(Zoom from, Zoom to, int32_t position, int32_t anchor);

}  // namespace kesmir
