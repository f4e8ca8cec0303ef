#include "sim/run_control.h"

namespace kesmir {

std::atomic<bool> pause{true};

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
    pause = true;
    quitAsked = false;
}

}  // namespace kesmir
