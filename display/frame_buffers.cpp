#include "display/frame_buffers.h"

#include <QColor>

#include "display/render/overlay_lines.h"

namespace kesmir {

FrameBuffers::FrameBuffers() {
    constexpr std::size_t kPixels = std::size_t(kWorldImageSide) * kWorldImageSide;
    for (int i = 0; i < 2; ++i) {
        // Black until the first frame arrives.
        worldPixels_[i] = std::make_unique<uint32_t[]>(kPixels);
        std::fill_n(worldPixels_[i].get(), kPixels, 0xFF000000u);
        world_[i] = QImage(reinterpret_cast<const uchar*>(worldPixels_[i].get()), kWorldImageSide,
                           kWorldImageSide, kWorldImageSide * 4, QImage::Format_RGB32);
        overlay_[i] = QImage(kOverlayWidth, kOverlayHeight, QImage::Format_RGB32);
        overlay_[i].fill(Qt::black);
        layout_[i].drawn = false;
    }
}

void FrameBuffers::publish(const FrameLayout& layout, bool overlayRedrawn) {
    std::lock_guard lock(mutex_);
    frontWorld_ = 1 - frontWorld_;
    layout_[frontWorld_] = layout;
    if (overlayRedrawn) frontOverlay_ = 1 - frontOverlay_;
}

}  // namespace kesmir
