#include "sim/run_control.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "sim/cycle_gate.h"
#include "world/checks.h"

namespace kesmir {

namespace {

std::atomic<int> requests{0};  // PauseRequests alive
std::atomic<bool> started{false};

}  // namespace

PauseRequest::PauseRequest() {
    requests.fetch_add(1, std::memory_order_acq_rel);
}

PauseRequest::~PauseRequest() {
    const int before = requests.fetch_sub(1, std::memory_order_acq_rel);
    KESMIR_ASSERT(before > 0, "a pause let go that was never asked for");
}

bool simulationPaused() {
    return !started.load(std::memory_order_acquire) || requests.load(std::memory_order_acquire) > 0;
}

void startRunControl() {
    started.store(true, std::memory_order_release);
}

void waitWhilePaused() {
    while (simulationPaused() && !quitRequested()) {
        cycleGate.checkpoint();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

namespace {

std::atomic<bool> quitAsked{false};

}  // namespace

void requestQuit() {
    quitAsked.store(true, std::memory_order_relaxed);
}

bool quitRequested() {
    return quitAsked.load(std::memory_order_relaxed);
}

void resetRunControl() {
    requests.store(0, std::memory_order_release);
    started.store(false, std::memory_order_release);
    quitAsked.store(false, std::memory_order_relaxed);
}

}  // namespace kesmir
