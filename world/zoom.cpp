#include "world/zoom.h"

#include <algorithm>

#include "world/grid.h"

namespace kesmir {

namespace {

// Floor and ceiling of n / d for d > 0 and any n.
int64_t floorDiv(int64_t n, int64_t d) {
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}
int64_t ceilDiv(int64_t n, int64_t d) {
    return -floorDiv(-n, d);
}

}  // namespace

int32_t contentExtent(Zoom zoom) {
    return int32_t(ceilDiv(int64_t{kWorldSide} * zoom.pixels, zoom.cells));
}

int32_t cellAt(Zoom zoom, int32_t contentPixel) {
    return int32_t(floorDiv(int64_t{contentPixel} * zoom.cells, zoom.pixels));
}

int32_t pixelShowing(Zoom zoom, int32_t cell) {
    // Zoomed out, the last pixel whose first cell is not past `cell`.
    if (zoom.zoomedOut()) return int32_t(ceilDiv(int64_t{cell + 1} * zoom.pixels, zoom.cells) - 1);
    return cell * (zoom.pixels / zoom.cells);
}

Zoom fittedZoom(int32_t clientWidth, int32_t clientHeight) {
    constexpr int32_t kFewestPixels = (kWorldSide + kMaxCellsPerPixel - 1) / kMaxCellsPerPixel;
    const int32_t side = std::min(clientWidth, clientHeight) - 1;
    if (side >= kWorldSide) return kOnePixelPerCell;
    return Zoom{std::max(side, kFewestPixels), kWorldSide};
}

Zoom steppedZoom(Zoom zoom, int direction) {
    if (direction > 0) {
        for (Zoom level : kZoomLevels)
            if (zoom < level) return level;
    } else if (direction < 0) {
        for (auto level = kZoomLevels.rbegin(); level != kZoomLevels.rend(); ++level)
            if (*level < zoom) return *level;
    }
    return zoom;
}

int32_t anchoredPosition(Zoom from, Zoom to, int32_t position, int32_t anchor) {
    const int32_t pointer = position + anchor;
    const int32_t cell = cellAt(from, pointer);
    if (to.zoomedOut()) return pixelShowing(to, cell) - anchor;
    // Where inside the cell the pointer was, in halves of a pixel so that a
    // pixel's middle is exact; the middle of the cell when zoomed out.
    const int64_t side = to.pixels / to.cells;
    int64_t numerator = 1, denominator = 2;
    if (!from.zoomedOut()) {
        const int64_t fromSide = from.pixels / from.cells;
        numerator = 2 * (pointer - int64_t{cell} * fromSide) + 1;
        denominator = 2 * fromSide;
    }
    return int32_t(int64_t{cell} * side + numerator * side / denominator) - anchor;
}

}  // namespace kesmir
