#include "sim/step_timings.h"

#include "world/format.h"

namespace kesmir {

double StepTimings::milliseconds(Step step) const {
    return std::chrono::duration<double, std::milli>(spent_[static_cast<int>(step)]).count();
}

double StepTimings::totalMilliseconds() const {
    double total = 0;
    for (int s = 0; s < static_cast<int>(Step::count); ++s)
        total += milliseconds(static_cast<Step>(s));
    return total;
}

std::string StepTimings::report() const {
    const double perCycle = cycles_ > 0 ? 1.0 / static_cast<double>(cycles_) : 0.0;
    std::string out = formatted("step timings over %lld cycles       total ms   ms/cycle\n",
                                static_cast<long long>(cycles_));
    for (int s = 0; s < static_cast<int>(Step::count); ++s) {
        const double ms = milliseconds(static_cast<Step>(s));
        appendFormatted(out, "  %-24s %14.1f %10.2f\n", kStepNames[s], ms, ms * perCycle);
    }
    const double total = totalMilliseconds();
    appendFormatted(out, "  %-24s %14.1f %10.2f\n", "total", total, total * perCycle);
    return out;
}

}  // namespace kesmir
