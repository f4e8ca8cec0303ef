// Checks of the preconditions the threads' arrangements rest on: who may
// hold the simulation, who may use the worker pool, who may write a shared
// value. A broken one would otherwise show as a deadlock or as a run that no
// longer repeats, far from its cause. Each check costs a few instructions
// where it stands, away from the hot loops, so every build makes them.
#pragma once

namespace kesmir {

// Prints "kesmir: internal error: <what> (<file>:<line>)" on stderr and aborts.
[[noreturn]] void failedCheck(const char* what, const char* file, int line) noexcept;

}  // namespace kesmir

#define KESMIR_ASSERT(condition, what) \
    ((condition) ? void(0) : ::kesmir::failedCheck((what), __FILE__, __LINE__))
