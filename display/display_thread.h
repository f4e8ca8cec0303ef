// The display thread: draws a frame of what the window shows when there is
// something new to show (the world changed, the view moved or the overlay's
// text changed), at most about 30 a second and never sooner than `delay`
// milliseconds after the last; while the simulation is paused and the view
// is still it draws nothing. A frame that takes long (a huge window) spaces
// the next ones out, so drawing never takes more than a quarter of a core
// from the simulation. Each frame is drawn into the back images and
// published, then the window is asked to repaint. It only reads the model,
// and never makes the simulation wait.
#pragma once

#include <QFont>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "display/frame_plan.h"
#include "display/render/overlay_lines.h"

namespace kesmir {

class FrameBuffers;

class DisplayThread {
  public:
    static constexpr std::chrono::milliseconds kFrameInterval{33};
    // A frame that took t is followed by the next no sooner than this many t.
    static constexpr int kBusyShare = 4;
    // How often it looks for news while there was none.
    static constexpr std::chrono::milliseconds kIdleCheck{10};

    // `requestRepaint` is called from the display thread after each frame;
    // it must be safe to call from there (e.g. post an event).
    DisplayThread(FrameBuffers& buffers, QFont overlayFont, std::function<void()> requestRepaint);
    ~DisplayThread();  // stops the thread
    DisplayThread(const DisplayThread&) = delete;
    DisplayThread& operator=(const DisplayThread&) = delete;

    void start();

    // Returns once the thread has finished its current frame and ended; the
    // images may be released afterwards.
    void stop();

    // Any thread: what the window shows from now on. Wakes the thread.
    void showView(const WorldView& view);

    // One frame without waiting: draws the view, the overlay while `data` is
    // set, and publishes them. The palette must be built (the thread builds
    // it when it starts). True when it drew the whole content once for a new
    // zoom (or the first time), a frame that says nothing of the next ones'
    // cost.
    bool drawOnce();

    // Frames drawn so far.
    int64_t frames() const { return frames_.load(std::memory_order_relaxed); }

  private:
    // Everything a frame shows; a frame equal to the last one is not drawn.
    struct FrameKey {
        uint64_t world = 0;
        uint64_t view = 0;
        bool overlayShown = false;
        OverlayState overlay;
        bool operator==(const FrameKey&) const = default;
    };

    void run();
    FrameKey keyNow() const;  // with mutex_ held

    FrameBuffers& buffers_;
    const QFont font_;
    const std::function<void()> requestRepaint_;
    std::atomic<int64_t> frames_{0};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;  // guarded by mutex_, like the view's fields
    WorldView view_;
    uint64_t viewVersion_ = 0;
    bool viewChanged_ = false;
    std::thread thread_;
};

}  // namespace kesmir
