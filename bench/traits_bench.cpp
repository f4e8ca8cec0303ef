// What counting every gene field of the whole population costs a cycle: seed
// 1 headless, the cycles from `first` on dealt in turn to two conditions in
// one run, so that both meet the same world and the same load on the machine:
//   off  the cycle's steps alone (the counts are then taken afresh, untimed,
//        for the next cycle to go on from)
//   on   the steps, culling and insertion keeping the counts up to date
//        from the records they drop and append, then taking the next
//        cycle's counts into the history and writing their rows to
//        traits.csv, as every cycle does by default
// Prints the median cycle of each and their ratio; since a cycle varies by
// more than the counting costs, also the median of the step that counts
// (cull+addNew) in each and of taking the counts, which together are the
// cost. Then, for comparison, a counting pass of its own over the lists (on
// the default thread count and on one thread). It judges nothing.
//
//   traits_bench [first measured cycle=100] [cycles per condition=15]
//                [threads=0: the machine's cores, as the program runs by default]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "seed/seeding.h"
#include "sim/eco_node.h"
#include "sim/parallel/worker_pool.h"
#include "sim/trait_sampling.h"
#include "sim/trait_tally.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

using namespace kesmir;
using kesmir::bench::median;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int first = argc > 1 ? std::max(0, std::atoi(argv[1])) : 100;
    const int perCondition = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    const int threads = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;

    const bench::ScratchDirectory scratch("traits-bench");

    allocateWorld();
    initDir();
    seedRandom(1);
    delay = 0;
    setSimulationThreads(threads);
    matureNutrients();

    startTraitFiles();
    std::vector<double> offMs, onMs, passMs, singleMs, cullOffMs, cullOnMs, takeMs, cpuOffMs,
        cpuOnMs;
    const int last = first + 2 * perCondition;
    // Off, on, on, off, off, on, ...: each condition meets both buffers of
    // every list alike (a cycle's time depends a little on which is current).
    const auto isOn = [first](int cycle) {
        return cycle >= first && (cycle - first + 1) / 2 % 2 == 1;
    };
    for (int cycle = 0; cycle < last && !populationCollapsed(); ++cycle) {
        const bool on = isOn(cycle);
        if (!on) traitTally.forget();
        const double cullBefore = stepTimings.milliseconds(Step::cull);
        const double cpuBefore = bench::cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        const auto start = Clock::now();
        runCycleSteps();
        kk += 1;
        const auto taking = Clock::now();
        if (on) sampleTraits();  // the counts of the lists this cycle made
        const double spent = msSince(start), taken = msSince(taking);
        const double cpu = bench::cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
        if (!on && isOn(cycle + 1)) traitTally.follow(countTraits());
        if (cycle < first) continue;
        (on ? onMs : offMs).push_back(spent);
        (on ? cpuOnMs : cpuOffMs).push_back(cpu);
        (on ? cullOnMs : cullOffMs).push_back(stepTimings.milliseconds(Step::cull) - cullBefore);
        if (on) takeMs.push_back(taken);
    }
    const auto pass = [](std::vector<double>& into) {
        for (int i = 0; i < 9; ++i) {
            const auto start = Clock::now();
            const TraitCounts counts = countTraits();
            into.push_back(msSince(start));
            if (counts.organisms[1] != Hpop) std::exit(1);
        }
    };
    pass(passMs);
    setSimulationThreads(1);
    pass(singleMs);

    const double off = median(offMs), on = median(onMs);
    std::printf(
        "traits_bench: seed 1, cycles %d..%d dealt to counting off and on (off, on, on, off, ...), "
        "%d threads; "
        "at the end %d plants, %d herbivores, %d carnivores\n",
        first, last - 1, threads > 0 ? threads : int(std::thread::hardware_concurrency()),
        int(Ppop), int(Hpop), int(Cpop));
    std::printf("  counting off  median cycle %8.1f ms over %zu cycles\n", off, offMs.size());
    std::printf("  counting on   median cycle %8.1f ms over %zu cycles (on / off %.3f)\n", on,
                onMs.size(), off > 0 ? on / off : 0.0);
    const double cost = median(cullOnMs) - median(cullOffMs) + median(takeMs);
    std::printf(
        "  cull+addNew median %.2f ms off, %.2f ms on; taking the counts (history, traits.csv) "
        "median %.2f ms\n",
        median(cullOffMs), median(cullOnMs), median(takeMs));
    std::printf("  counting costs %.2f ms a cycle: %.2f%% of the median cycle with counting off\n",
                cost, off > 0 ? 100 * cost / off : 0.0);
    const double cpuOff = median(cpuOffMs), cpuOn = median(cpuOnMs);
    std::printf("  process CPU time a cycle: median %.1f ms off, %.1f ms on (%+.2f%%)\n", cpuOff,
                cpuOn, cpuOff > 0 ? 100 * (cpuOn - cpuOff) / cpuOff : 0.0);
    std::printf(
        "  a counting pass of its own at the end: median %.2f ms (%.2f%% of the cycle), "
        "on one thread %.2f ms\n",
        median(passMs), off > 0 ? 100 * median(passMs) / off : 0.0, median(singleMs));
    return 0;
}
