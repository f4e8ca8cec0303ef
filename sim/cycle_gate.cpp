#include "sim/cycle_gate.h"

namespace kesmir {

CycleGate cycleGate;

void CycleGate::hold() {
    std::unique_lock lock(mutex_);
    requested_.store(true, std::memory_order_release);
    changed_.wait(lock, [this] { return parked_ || !running_; });
}

void CycleGate::release() {
    std::lock_guard lock(mutex_);
    requested_.store(false, std::memory_order_release);
    changed_.notify_all();
}

void CycleGate::checkpoint() {
    if (!requested_.load(std::memory_order_acquire)) return;
    std::unique_lock lock(mutex_);
    parked_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !requested_.load(std::memory_order_relaxed); });
    parked_ = false;
}

void CycleGate::setRunning(bool running) {
    std::lock_guard lock(mutex_);
    running_ = running;
    changed_.notify_all();
}

}  // namespace kesmir
