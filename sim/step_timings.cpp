#include "sim/step_timings.h"

#include "world/format.h"

namespace kesmir {

StepTimings stepTimings;

StepTimings& StepTimings::operator=(const StepTimings& other) {
    for (std::size_t s = 0; s < ticks_.size(); ++s) {
        ticks_[s] = Clock::rep(other.ticks_[s]);
        serialTicks_[s] = Clock::rep(other.serialTicks_[s]);
    }
    cycles_ = int64_t(other.cycles_);
    return *this;
}

double StepTimings::milliseconds(Step step) const {
    const Clock::duration spent(ticks_[static_cast<int>(step)]);
    return std::chrono::duration<double, std::milli>(spent).count();
}

double StepTimings::serialMilliseconds(Step step) const {
    const Clock::duration spent(serialTicks_[static_cast<int>(step)]);
    return std::chrono::duration<double, std::milli>(spent).count();
}

double StepTimings::totalMilliseconds() const {
    double total = 0;
    for (int s = 0; s < static_cast<int>(Step::count); ++s)
        total += milliseconds(static_cast<Step>(s));
    return total;
}

std::string StepTimings::report() const {
    const int64_t cycles = cycles_;
    const double perCycle = cycles > 0 ? 1.0 / static_cast<double>(cycles) : 0.0;
    std::string out = formatted("step timings over %lld cycles       total ms   ms/cycle\n",
                                static_cast<long long>(cycles));
    for (int s = 0; s < static_cast<int>(Step::count); ++s) {
        const double ms = milliseconds(static_cast<Step>(s));
        appendFormatted(out, "  %-24s %14.1f %10.2f\n", kStepNames[s], ms, ms * perCycle);
    }
    const double total = totalMilliseconds();
    appendFormatted(out, "  %-24s %14.1f %10.2f\n", "total", total, total * perCycle);
    return out;
}

}  // namespace kesmir
