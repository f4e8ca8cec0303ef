// Runs the default world headless (seed 1, no delay) and prints the median
// time per cycle and per step over a window of cycles, the peak resident
// memory, and the cycle time as a multiple of one plain pass that reads and
// rewrites every cell's nutrient level (a figure that travels between
// machines better than milliseconds).
//
//   cycle_bench [cycles=200] [first measured cycle=100]
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "seed/seeding.h"
#include "sim/eco_node.h"
#include "sim/worker_pool.h"
#include "world/counters.h"
#include "world/grid.h"
#include "world/lists.h"
#include "world/random.h"
#include "world/vt.h"

using namespace kesmir;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of this thread: on a busy machine it says more than wall time.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The reference pass: every level read and written once, as replenishment does.
double nutrientPassMs() {
    std::vector<double> times;
    for (int repeat = 0; repeat < 15; ++repeat) {
        const auto start = Clock::now();
        float* levels = E.nutrient;
        for (int32_t cell = 0; cell < kCells; ++cell)
            levels[cell] = levels[cell] + 0.0f;
        times.push_back(ms(Clock::now() - start));
    }
    return median(times);
}

long peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 200;
    const int firstMeasured = argc > 2 ? std::atoi(argv[2]) : 100;
    setSimulationThreads(argc > 3 ? std::atoi(argv[3]) : 0);

    // No data files: a fresh nutrient layer and a generated seed sample.
    const auto scratch =
        std::filesystem::temp_directory_path() / ("kesmir-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);

    allocateWorld();
    initDir();
    seedRandom(1);
    const auto seedStart = Clock::now();
    matureNutrients();
    const double seedingMs = ms(Clock::now() - seedStart);

    std::vector<double> cycleMs;
    std::vector<double> cycleCpuMs;
    std::vector<std::vector<double>> stepMs(static_cast<int>(Step::count));
    for (int c = 0; c < cycles && !populationCollapsed(); ++c) {
        const StepTimings before = stepTimings;
        const auto start = Clock::now();
        const double cpuStart = threadCpuMs();
        runCycleSteps();
        const double spent = ms(Clock::now() - start);
        const double cpuSpent = threadCpuMs() - cpuStart;
        kk += 1;
        if (c < firstMeasured) continue;
        cycleMs.push_back(spent);
        cycleCpuMs.push_back(cpuSpent);
        for (int s = 0; s < static_cast<int>(Step::count); ++s)
            stepMs[s].push_back(stepTimings.milliseconds(Step(s)) - before.milliseconds(Step(s)));
    }
    const double pass = nutrientPassMs();
    const double cycleMedian = median(cycleMs);

    std::printf("default world, seed 1: %d cycles run, cycles %d..%d measured\n", int(kk),
                firstMeasured, int(kk) - 1);
    std::printf("populations at the end: %d plants, %d herbivores, %d carnivores\n", int(Ppop),
                int(Hpop), int(Cpop));
    std::printf("seeding                    %8.1f ms\n", seedingMs);
    std::printf("median cycle               %8.1f ms (CPU time %.1f ms)\n", cycleMedian,
                median(cycleCpuMs));
    for (int s = 0; s < static_cast<int>(Step::count) - 1; ++s)
        std::printf("  median %-20s%8.1f ms\n", kStepNames[s], median(stepMs[s]));
    std::printf("plain nutrient pass        %8.2f ms\n", pass);
    std::printf("cycle / nutrient pass      %8.1f\n", pass > 0 ? cycleMedian / pass : 0.0);
    std::printf("peak resident memory       %8ld MB\n", peakResidentMegabytes());

    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
    return 0;
}
