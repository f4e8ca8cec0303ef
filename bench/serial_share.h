// The part of a cycle that stays serial, from the same steps timed on one
// thread and on several: a step that takes t1 on one thread and tn on n
// threads that each had a core is taken as a serial part s and a parallel
// part p with s + p = t1 and s + p / n = tn (Amdahl's law). The sums over the
// steps give the cycle's serial part, and from it the cycle on more cores.
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

// One step's split; `cores` is the parallelism the several threads had (no
// more than the machine's cores). Noise may make tn exceed t1 or fall below
// t1 / n: the split is then held to its bounds.
inline SerialSplit splitStep(double oneThread, double manyThreads, int cores) {
    SerialSplit split;
    if (cores <= 1) {
        split.serial = oneThread;
        return split;
    }
    const double gained = std::max(0.0, oneThread - manyThreads);
    split.parallel = std::min(oneThread, gained * cores / (cores - 1));
    split.serial = oneThread - split.parallel;
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
                             const std::vector<double>& manyThreads, int cores,
                             double referenceCycle) {
    std::printf("serial part (Amdahl, from 1 thread and %d cores):  serial  parallel ms\n", cores);
    std::vector<SerialSplit> steps;
    for (std::size_t s = 0; s < names.size(); ++s) {
        steps.push_back(splitStep(oneThread[s], manyThreads[s], cores));
        std::printf("  %-20s%30.1f %9.1f\n", names[s], steps.back().serial, steps.back().parallel);
    }
    const SerialSplit cycle = addSplits(steps);
    std::printf("  %-20s%30.1f %9.1f   serial share %.3f\n", "cycle", cycle.serial, cycle.parallel,
                cycle.serialShare());
    for (const int estimated : {8, 16}) {
        std::printf("estimated cycle on %2d cores %15.1f ms", estimated, cycle.onCores(estimated));
        if (referenceCycle > 0)
            std::printf("   / reference model %.3f", cycle.onCores(estimated) / referenceCycle);
        std::printf("\n");
    }
}

}  // namespace kesmir::bench
