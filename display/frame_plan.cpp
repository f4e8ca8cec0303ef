#include "display/frame_plan.h"

#include <algorithm>

namespace kesmir {

namespace {

PixelRect intersected(const PixelRect& a, const PixelRect& b) {
    const int32_t x0 = std::max(a.x, b.x);
    const int32_t y0 = std::max(a.y, b.y);
    const int32_t x1 = std::min(a.x + a.width, b.x + b.width);
    const int32_t y1 = std::min(a.y + a.height, b.y + b.height);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

FramePlan planFrame(const WorldView& view, const FrameLayout& back) {
    const int32_t extent = contentExtent(view.zoom);
    const PixelRect content{0, 0, extent, extent};
    const PixelRect inView = intersected(view.shown, content);
    constexpr int32_t side = FrameBuffers::kWorldImageSide;
    const int32_t marginX = std::clamp((side - inView.width) / 2, 0, kFrameMargin);
    const int32_t marginY = std::clamp((side - inView.height) / 2, 0, kFrameMargin);
    const PixelRect around = intersected({inView.x - marginX, inView.y - marginY,
                                          inView.width + 2 * marginX, inView.height + 2 * marginY},
                                         content);

    FramePlan plan;
    plan.layout.zoom = view.zoom;
    if (extent > side) {
        plan.area = around;
        plan.layout.originX = around.x;
        plan.layout.originY = around.y;
        plan.layout.valid = around;
    } else {
        plan.renewal = !back.drawn || !(back.zoom == view.zoom);
        plan.area = plan.renewal ? content : around;
        plan.layout.valid = content;
    }
    return plan;
}

}  // namespace kesmir
