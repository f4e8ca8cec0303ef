#include "display/display_thread.h"

#include <algorithm>

#include "display/frame_buffers.h"
#include "display/overlay_painter.h"
#include "display/render/overlay_lines.h"
#include "display/render/palette.h"
#include "sim/world_version.h"
#include "world/counters.h"
#include "world/params.h"

namespace kesmir {

DisplayThread::DisplayThread(FrameBuffers& buffers, QFont overlayFont,
                             std::function<void()> requestRepaint)
    : buffers_(buffers),
      font_(std::move(overlayFont)),
      requestRepaint_(std::move(requestRepaint)) {}

DisplayThread::~DisplayThread() {
    stop();
}

void DisplayThread::start() {
    if (thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }
    thread_ = std::thread([this] { run(); });
}

void DisplayThread::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void DisplayThread::showView(const WorldView& view) {
    {
        std::lock_guard lock(mutex_);
        view_ = view;
        ++viewVersion_;
        viewChanged_ = true;
    }
    wake_.notify_all();
}

DisplayThread::FrameKey DisplayThread::keyNow() const {
    FrameKey key;
    key.world = worldVersion.load(std::memory_order_relaxed);
    key.view = viewVersion_;
    key.overlayShown = data.load(std::memory_order_acquire);
    if (key.overlayShown) key.overlay = currentOverlayState();
    return key;
}

bool DisplayThread::drawOnce() {
    WorldView view;
    {
        std::lock_guard lock(mutex_);
        view = view_;
    }
    const FramePlan plan = planFrame(view, buffers_.backLayout());
    uint32_t* origin =
        buffers_.backWorldPixels() +
        std::size_t(plan.area.y - plan.layout.originY) * FrameBuffers::worldStride() +
        (plan.area.x - plan.layout.originX);
    drawView(liveWorldLayers(), view.zoom, plan.area, origin, FrameBuffers::worldStride());
    const bool overlayRedrawn = data.load(std::memory_order_acquire);
    if (overlayRedrawn) displayData(buffers_.backOverlay(), font_, currentOverlayState());
    buffers_.publish(plan.layout, overlayRedrawn);
    frames_.fetch_add(1, std::memory_order_relaxed);
    return plan.renewal;
}

void DisplayThread::run() {
    using Clock = std::chrono::steady_clock;
    initPalette();
    std::optional<FrameKey> drawn;
    Clock::time_point nextFrame = Clock::now();
    const auto woken = [this] { return stopping_ || viewChanged_; };
    std::unique_lock lock(mutex_);
    for (;;) {
        // The pause before every frame; a change of view cuts it short.
        wake_.wait_for(lock, std::chrono::milliseconds(int(delay)), woken);
        while (!woken() && drawn == keyNow())
            wake_.wait_for(lock, kIdleCheck, woken);
        wake_.wait_until(lock, nextFrame, [this] { return stopping_; });
        if (stopping_) return;
        // Taken before drawing: a change while the frame is drawn makes
        // another one.
        drawn = keyNow();
        viewChanged_ = false;
        lock.unlock();
        const Clock::time_point started = Clock::now();
        const bool renewal = drawOnce();
        const Clock::duration took = Clock::now() - started;
        nextFrame =
            started + (renewal ? kFrameInterval
                               : std::max<Clock::duration>(kFrameInterval, kBusyShare * took));
        requestRepaint_();
        lock.lock();
    }
}

}  // namespace kesmir
