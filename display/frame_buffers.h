// The two pictures the display thread draws and the window paints: the
// world image (up to 3500 x 3500) and the 350 x 200 population overlay.
//
// Each is double-buffered. The display thread draws into the back images
// while the window may be painting the front ones, then publish() swaps
// them under a short lock; the window paints only while holding the same
// lock. So no image is ever read and written at once, and the display
// thread waits at most for one paint (never for the simulation).
//
// Each world image carries its layout: the zoom it was drawn at and which
// content pixels it holds. Zoomed out or at one pixel per cell it holds the
// whole content at its own coordinates, refreshed where the window looks;
// zoomed in, only the part around the view.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <type_traits>

#include "display/render/view_render.h"

namespace kesmir {

struct FrameLayout {
    Zoom zoom = kOnePixelPerCell;
    // The content pixel at image pixel (0, 0).
    int32_t originX = 0;
    int32_t originY = 0;
    // The content pixels the image holds.
    PixelRect valid{0, 0, 3500, 3500};
    // False for the black images before the first frame.
    bool drawn = true;
};

class FrameBuffers {
  public:
    FrameBuffers();
    FrameBuffers(const FrameBuffers&) = delete;
    FrameBuffers& operator=(const FrameBuffers&) = delete;

    // Display thread: the images to draw the next picture into. The world
    // image's pixels are 0xFFRRGGBB words, `worldStride()` words per row.
    uint32_t* backWorldPixels() { return worldPixels_[1 - frontWorld_].get(); }
    static constexpr int worldStride() { return kWorldImageSide; }
    QImage& backOverlay() { return overlay_[1 - frontOverlay_]; }
    // What the back world image held when it was last published.
    const FrameLayout& backLayout() const { return layout_[1 - frontWorld_]; }

    // Display thread: makes the back world image, laid out as `layout`, the
    // front one, and the back overlay too when it was redrawn (otherwise the
    // front overlay keeps its last picture).
    void publish(const FrameLayout& layout, bool overlayRedrawn);
    // The whole world at one pixel per cell.
    void publish(bool overlayRedrawn) { publish(FrameLayout{}, overlayRedrawn); }

    // Window thread: runs `paint(world, layout, overlay)`, or
    // `paint(world, overlay)`, on the front images under the lock; keep it
    // short, the display thread may be waiting.
    template <class Paint>
    void paintFront(Paint&& paint) {
        std::lock_guard lock(mutex_);
        const QImage& world = world_[frontWorld_];
        const QImage& overlay = overlay_[frontOverlay_];
        if constexpr (std::is_invocable_v<Paint, const QImage&, const FrameLayout&, const QImage&>)
            paint(world, static_cast<const FrameLayout&>(layout_[frontWorld_]), overlay);
        else
            paint(world, overlay);
    }

    static constexpr int kWorldImageSide = 3500;

  private:
    std::mutex mutex_;
    // The world images wrap buffers of their own, so drawing through the raw
    // pointer never makes a QImage detach or copy.
    std::array<std::unique_ptr<uint32_t[]>, 2> worldPixels_;
    std::array<QImage, 2> world_;
    std::array<FrameLayout, 2> layout_;
    std::array<QImage, 2> overlay_;
    int frontWorld_ = 0;    // written by the display thread under the lock
    int frontOverlay_ = 0;  // likewise
};

}  // namespace kesmir
