// The display thread: every `delay` milliseconds it draws the world from the
// live grid and lists into the back image, redraws the overlay while `data`
// is set, publishes both and asks the window to repaint. It only reads the
// model, and never makes the simulation wait.
#pragma once

#include <QFont>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kesmir {

class FrameBuffers;

class DisplayThread {
  public:
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

    // One pass of the loop without the sleep: draws the frame, the overlay
    // while `data` is set, and publishes them. The palette must be built
    // (the thread builds it when it starts).
    void drawOnce();

  private:
    void run();
    bool sleepUnlessStopped(int milliseconds);

    FrameBuffers& buffers_;
    const QFont font_;
    const std::function<void()> requestRepaint_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;  // guarded by mutex_
    std::thread thread_;
};

}  // namespace kesmir
