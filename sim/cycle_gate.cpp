#include "sim/cycle_gate.h"

#include "world/checks.h"

namespace kesmir {

CycleGate cycleGate;

void CycleGate::hold() {
    std::unique_lock lock(mutex_);
    const bool held = requested_.load(std::memory_order_relaxed);
    KESMIR_ASSERT(!held || holder_ == std::this_thread::get_id(),
                  "the simulation was held by two threads at once");
    holder_ = std::this_thread::get_id();
    requested_.store(true, std::memory_order_release);
    changed_.notify_all();  // wakes a simulation asleep in sleepFor
    changed_.wait(lock, [this] { return parked_ || !running_; });
}

void CycleGate::release() {
    std::lock_guard lock(mutex_);
    KESMIR_ASSERT(
        requested_.load(std::memory_order_relaxed) && holder_ == std::this_thread::get_id(),
        "the simulation was let go by a thread that did not hold it");
    requested_.store(false, std::memory_order_release);
    changed_.notify_all();
}

void CycleGate::parkWhileRequested(std::unique_lock<std::mutex>& lock) {
    parked_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !requested_.load(std::memory_order_relaxed); });
    parked_ = false;
}

void CycleGate::checkpoint() {
    if (!requested_.load(std::memory_order_acquire)) return;
    std::unique_lock lock(mutex_);
    parkWhileRequested(lock);
}

void CycleGate::sleepFor(std::chrono::milliseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (requested_.load(std::memory_order_relaxed)) parkWhileRequested(lock);
        const bool asked = changed_.wait_until(
            lock, deadline, [this] { return requested_.load(std::memory_order_relaxed); });
        if (!asked) return;
    }
}

void CycleGate::setRunning(bool running) {
    std::lock_guard lock(mutex_);
    running_ = running;
    changed_.notify_all();
}

}  // namespace kesmir
