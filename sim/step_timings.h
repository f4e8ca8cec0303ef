// Wall-clock time spent in each step of the cycle, for --timings and the
// benchmark. Measuring costs two clock reads per step, about 30 ns a cycle.
// Beside each step's time, the part of it spent in work that must run in
// order on one thread however many there are (the serial part, which more
// cores do not shorten).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "world/shared_access.h"

namespace kesmir {

enum class Step {
    moveHerbivores,
    moveCarnivores,
    metabolize,
    eat,
    reproduce,
    die,
    cull,
    files,
    traits,  // counting the gene fields (at the status line, not a step of the cycle)
    count
};

inline constexpr std::array<const char*, static_cast<int>(Step::count)> kStepNames = {
    "moveHerbivores", "moveCarnivores", "metabolize+replenish", "eat", "reproduce", "die",
    "cull+addNew",    "file writing",   "trait counts"};

class StepTimings {
  public:
    using Clock = std::chrono::steady_clock;

    StepTimings() = default;
    StepTimings(const StepTimings& other) { *this = other; }
    StepTimings& operator=(const StepTimings& other);

    void add(Step step, Clock::duration spent) { ticks_[static_cast<int>(step)] += spent.count(); }
    void addSerial(Step step, Clock::duration spent) {
        serialTicks_[static_cast<int>(step)] += spent.count();
    }
    void countCycle() { ++cycles_; }
    void clear() { *this = StepTimings{}; }

    double milliseconds(Step step) const;
    double serialMilliseconds(Step step) const;
    double totalMilliseconds() const;
    int64_t cycles() const { return cycles_; }

    // A table of every step's total and mean per cycle, then the totals.
    std::string report() const;

  private:
    // One writer, the simulation thread; the report at exit may read them
    // while a cycle is still under way (Q), so every figure is read whole.
    std::array<RelaxedAtomic<Clock::rep>, static_cast<int>(Step::count)> ticks_{};
    std::array<RelaxedAtomic<Clock::rep>, static_cast<int>(Step::count)> serialTicks_{};
    RelaxedAtomic<int64_t> cycles_{0};
};

// The steps' timings of the simulation.
extern StepTimings stepTimings;

// Times one step into `timings` from construction to destruction; with
// kSerial, into the step's serial part.
template <bool kSerial>
class Timer {
  public:
    Timer(StepTimings& timings, Step step)
        : timings_(timings), step_(step), start_(StepTimings::Clock::now()) {}
    ~Timer() {
        const auto spent = StepTimings::Clock::now() - start_;
        if constexpr (kSerial) {
            timings_.addSerial(step_, spent);
        } else {
            timings_.add(step_, spent);
        }
    }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

  private:
    StepTimings& timings_;
    Step step_;
    StepTimings::Clock::time_point start_;
};
using StepTimer = Timer<false>;
// Time on the simulation thread in work of the step that runs in order.
using SerialTimer = Timer<true>;

}  // namespace kesmir
