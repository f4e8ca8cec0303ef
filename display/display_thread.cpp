#include "display/display_thread.h"

#include <chrono>

#include "display/frame_buffers.h"
#include "display/overlay_painter.h"
#include "display/render/frame.h"
#include "display/render/palette.h"
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

void DisplayThread::drawOnce() {
    drawFrame(buffers_.backWorldPixels(), FrameBuffers::worldStride());
    const bool overlayRedrawn = data.load(std::memory_order_acquire);
    if (overlayRedrawn) displayData(buffers_.backOverlay(), font_, currentOverlayState());
    buffers_.publish(overlayRedrawn);
}

bool DisplayThread::sleepUnlessStopped(int milliseconds) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopping_; });
    return !stopping_;
}

void DisplayThread::run() {
    initPalette();
    while (sleepUnlessStopped(delay)) {
        drawOnce();
        requestRepaint_();
    }
}

}  // namespace kesmir
