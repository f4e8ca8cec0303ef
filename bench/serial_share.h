// The part of a cycle that stays serial, and the cycle that gives on more
// cores (Amdahl's law): each step's serial part s is the time its timers
// measured in work that runs in order on one thread (on several threads, so
// that the parts that do split are not counted), the rest of its time on
// one thread, t1 - s, is taken as work that n cores share. A cycle on n
// cores then takes the sum of s + (t1 - s) / n.
#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

namespace kesmir::bench {

struct SerialSplit {
    double serial = 0;
    double parallel = 0;

    double onCores(int cores) const { return serial + parallel / cores; }
    double serialShare() const {
        return serial + parallel > 0 ? serial / (serial + parallel) : 0.0;
    }
};

// One step's split. A step's ordered work may run faster on its own thread
// than it did inside the step on one (or the machine was busier then): the
// serial part is held to the step's time.
inline SerialSplit splitStep(double oneThread, double serial) {
    SerialSplit split;
    split.serial = std::min(serial, oneThread);
    split.parallel = oneThread - split.serial;
    return split;
}

inline SerialSplit addSplits(const std::vector<SerialSplit>& steps) {
    SerialSplit total;
    for (const SerialSplit& s : steps) {
        total.serial += s.serial;
        total.parallel += s.parallel;
    }
    return total;
}

// The split of every step and of the cycle, and the cycle estimated on 8 and
// 16 cores, also against the reference model's cycle when one was measured.
inline void printSerialShare(const std::vector<const char*>& names,
                             const std::vector<double>& oneThread,
                             const std::vector<double>& serial, double referenceCycle) {
    std::printf("serial part (timed on several threads) and the rest:  serial  parallel ms\n");
    std::vector<SerialSplit> steps;
    for (std::size_t s = 0; s < names.size(); ++s) {
        steps.push_back(splitStep(oneThread[s], serial[s]));
        std::printf("  %-20s%33.1f %9.1f\n", names[s], steps.back().serial, steps.back().parallel);
    }
    const SerialSplit cycle = addSplits(steps);
    std::printf("  %-20s%33.1f %9.1f   serial share %.3f\n", "cycle", cycle.serial, cycle.parallel,
                cycle.serialShare());
    for (const int cores : {8, 16}) {
        std::printf("estimated cycle on %2d cores %15.1f ms", cores, cycle.onCores(cores));
        if (referenceCycle > 0)
            std::printf("   / reference model %.3f", cycle.onCores(cores) / referenceCycle);
        std::printf("\n");
    }
}

}  // namespace kesmir::bench
