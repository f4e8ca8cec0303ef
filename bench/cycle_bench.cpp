// Runs the default world headless (seed 1, no data files, no delay) in one
// process: on one thread, on the default number of threads (the machine's
// cores), and as the plain reference model of the tests, which stays plain
// and serves as the yardstick. Prints the median time per cycle and per step
// over a window of cycles, the ratios between the three, the peak resident
// memory of the model runs, and the cycle time as a multiple of one plain
// pass over the nutrient levels (a figure that travels between machines
// better than milliseconds).
//
//   cycle_bench [cycles=130] [first measured cycle=100] [threads=cores]
//               [--no-reference] [--no-single] [--alternate]
//
// On a busy machine the ratios of one run say more than milliseconds.
// --alternate runs the model once, switching between one thread and the
// default count from cycle to cycle (1, N, N, 1, 1, N, ...), so that both
// see the same moments of a shared machine; the results are the same bits
// either way.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "oracle/reference/reference_model.h"
#include "seed/seeding.h"
#include "sim/eco_node.h"
#include "sim/worker_pool.h"
#include "world/counters.h"
#include "world/grid.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

using namespace kesmir;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSteps = static_cast<int>(Step::count) - 1;  // file writing is not timed here

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of the whole process, workers included.
double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
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

// The model as a fresh process finds it: default parameters and counts,
// first buffers current, generator at seed 1.
void seedFreshWorld() {
    allocateWorld();
    resetParameters();
    resetCounters();
    PL = PL1;
    HL = HL1;
    CL = CL1;
    OPL = PL2;
    OHL = HL2;
    OCL = CL2;
    even = true;
    initDir();
    seedRandom(1);
    matureNutrients();
}

struct Timings {
    std::vector<double> cycleMs;
    std::vector<double> cpuMs;
    std::vector<std::vector<double>> stepMs = std::vector<std::vector<double>>(kSteps);

    double cycle() const { return median(cycleMs); }
};

// Runs the model from a fresh world; the steps of cycle c run on
// threadsFor(c) threads. Measured cycles are timed into timingsFor(c).
void runModel(int cycles, int firstMeasured, const std::function<int(int)>& threadsFor,
              const std::function<Timings&(int)>& timingsFor) {
    seedFreshWorld();
    for (int c = 0; c < cycles && !populationCollapsed(); ++c) {
        setSimulationThreads(threadsFor(c));
        const StepTimings before = stepTimings;
        const auto start = Clock::now();
        const double cpuStart = processCpuMs();
        runCycleSteps();
        const double spent = ms(Clock::now() - start);
        const double cpuSpent = processCpuMs() - cpuStart;
        kk += 1;
        if (c < firstMeasured) continue;
        Timings& t = timingsFor(c);
        t.cycleMs.push_back(spent);
        t.cpuMs.push_back(cpuSpent);
        for (int s = 0; s < kSteps; ++s)
            t.stepMs[s].push_back(stepTimings.milliseconds(Step(s)) - before.milliseconds(Step(s)));
    }
}

Timings runReference(int cycles, int firstMeasured) {
    reference::Options options;
    options.cycles = cycles;
    reference::Model model(options);
    model.seed();
    Timings t;
    for (int c = 0; c < cycles; ++c) {
        const auto start = Clock::now();
        const bool collapsed = model.cycle();
        if (c >= firstMeasured) t.cycleMs.push_back(ms(Clock::now() - start));
        if (collapsed) break;
    }
    return t;
}

void printModel(const char* name, const Timings& t) {
    std::printf("%s: median cycle %8.1f ms (process CPU time %.1f ms)\n", name, t.cycle(),
                median(t.cpuMs));
    for (int s = 0; s < kSteps; ++s)
        std::printf("  median %-20s%8.1f ms\n", kStepNames[s], median(t.stepMs[s]));
}

void printRatio(const char* what, double numerator, double denominator) {
    std::printf("%-34s%8.3f\n", what, denominator > 0 ? numerator / denominator : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> numbers;
    bool withReference = true;
    bool withSingle = true;
    bool alternate = false;
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--no-reference") == 0) {
            withReference = false;
        } else if (std::strcmp(argv[a], "--no-single") == 0) {
            withSingle = false;
        } else if (std::strcmp(argv[a], "--alternate") == 0) {
            alternate = true;
        } else {
            numbers.push_back(std::atoi(argv[a]));
        }
    }
    const int cycles = numbers.size() > 0 ? numbers[0] : 130;
    const int firstMeasured = numbers.size() > 1 ? numbers[1] : 100;
    setSimulationThreads(numbers.size() > 2 ? numbers[2] : 0);
    const int threads = simulationThreads();

    // No data files: a fresh nutrient layer and a generated seed sample.
    const auto scratch =
        std::filesystem::temp_directory_path() / ("kesmir-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);

    Timings one, many;
    if (alternate) {
        // 1, N, N, 1, 1, N, N, 1, ...: both see the slow growth of the world alike.
        auto isMany = [](int c) { return (c + 1) / 2 % 2 == 1; };
        runModel(
            cycles, firstMeasured, [&](int c) { return isMany(c) ? threads : 1; },
            [&](int c) -> Timings& { return isMany(c) ? many : one; });
    } else {
        if (withSingle)
            runModel(
                cycles, firstMeasured, [](int) { return 1; }, [&](int) -> Timings& { return one; });
        runModel(
            cycles, firstMeasured, [&](int) { return threads; },
            [&](int) -> Timings& { return many; });
    }
    const long peak = peakResidentMegabytes();
    const double pass = nutrientPassMs();
    const Timings plain = withReference ? runReference(cycles, firstMeasured) : Timings{};

    std::printf("default world, seed 1: %d cycles, cycles %d..%d measured%s\n", int(kk),
                firstMeasured, int(kk) - 1, alternate ? ", thread counts alternating" : "");
    std::printf("populations at the end: %d plants, %d herbivores, %d carnivores\n", int(Ppop),
                int(Hpop), int(Cpop));
    printModel("1 thread", one);
    const std::string manyName = std::to_string(threads) + " threads";
    printModel(manyName.c_str(), many);
    if (withReference) std::printf("reference model: median cycle %8.1f ms\n", plain.cycle());
    printRatio(("1 thread / " + manyName).c_str(), one.cycle(), many.cycle());
    if (withReference) {
        printRatio("1 thread / reference model", one.cycle(), plain.cycle());
        printRatio((manyName + " / reference model").c_str(), many.cycle(), plain.cycle());
    }
    std::printf("plain nutrient pass               %8.2f ms\n", pass);
    printRatio("1 thread / nutrient pass", one.cycle(), pass);
    std::printf("peak resident memory (model)      %8ld MB\n", peak);

    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
    return 0;
}
