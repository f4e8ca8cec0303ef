// The two pictures the display thread draws and the window paints: the
// 3500 x 3500 world image and the 350 x 200 population overlay.
//
// Each is double-buffered. The display thread draws into the back images
// while the window may be painting the front ones, then publish() swaps
// them under a short lock; the window paints only while holding the same
// lock. So no image is ever read and written at once, and the display
// thread waits at most for one paint (never for the simulation).
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

namespace kesmir {

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

    // Display thread: makes the back world image the front one, and the back
    // overlay too when it was redrawn (otherwise the front overlay keeps its
    // last picture).
    void publish(bool overlayRedrawn);

    // Window thread: runs `paint(world, overlay)` on the front images under
    // the lock; keep it short, the display thread may be waiting.
    template <class Paint>
    void paintFront(Paint&& paint) {
        std::lock_guard lock(mutex_);
        paint(static_cast<const QImage&>(world_[frontWorld_]),
              static_cast<const QImage&>(overlay_[frontOverlay_]));
    }

    static constexpr int kWorldImageSide = 3500;

  private:
    std::mutex mutex_;
    // The world images wrap buffers of their own, so drawing through the raw
    // pointer never makes a QImage detach or copy.
    std::array<std::unique_ptr<uint32_t[]>, 2> worldPixels_;
    std::array<QImage, 2> world_;
    std::array<QImage, 2> overlay_;
    int frontWorld_ = 0;    // written by the display thread under the lock
    int frontOverlay_ = 0;  // likewise
};

}  // namespace kesmir
