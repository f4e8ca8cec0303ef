// Runs the default world headless (seed 1, no data files, no delay) in one
// process: on one thread, on the default number of threads (the machine's
// cores), and as the plain reference model of the tests, which stays plain
// and serves as the yardstick. Prints the median time per cycle and per step
// over a window of cycles, the ratios between the three, the peak resident
// memory of the model runs, and the cycle time as a multiple of one plain
// pass over the nutrient levels (a figure that travels between machines
// better than milliseconds). With both thread counts measured it also
// prints one thread's steps against fixed figures of the build before the
// steps had threads, and the part of the cycle that stays serial (timed in
// the steps themselves on several threads), with the cycle it gives on 8 and
// 16 cores. More threads than cores may be asked for.
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
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/serial_share.h"
#include "oracle/reference/reference_model.h"
#include "seed/seeding.h"
#include "sim/eco_node.h"
#include "sim/feeding.h"
#include "sim/move.h"
#include "sim/parallel/worker_pool.h"
#include "world/counters.h"
#include "world/grid.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

using namespace kesmir;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSteps =
    static_cast<int>(Step::files);  // file writing and trait counts are not timed here

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

// The peak resident memory since the last reset, from the kernel's
// high-water mark; each model run is measured on its own.
void resetPeakResidentMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

long peakResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
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
    selectBuffers(true);
    initDir();
    seedRandom(1);
    matureNutrients();
}

struct Timings {
    long peakMegabytes = 0;
    std::vector<double> cycleMs;
    std::vector<double> cpuMs;
    std::vector<std::vector<double>> stepMs = std::vector<std::vector<double>>(kSteps);
    std::vector<std::vector<double>> serialMs = std::vector<std::vector<double>>(kSteps);

    double cycle() const { return median(cycleMs); }
};

// Runs the model from a fresh world; the steps of cycle c run on
// threadsFor(c) threads. Measured cycles are timed into timingsFor(c).
void runModel(int cycles, int firstMeasured, const std::function<int(int)>& threadsFor,
              const std::function<Timings&(int)>& timingsFor) {
    resetPeakResidentMemory();
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
        for (int s = 0; s < kSteps; ++s) {
            t.stepMs[s].push_back(stepTimings.milliseconds(Step(s)) - before.milliseconds(Step(s)));
            t.serialMs[s].push_back(stepTimings.serialMilliseconds(Step(s)) -
                                    before.serialMilliseconds(Step(s)));
        }
        t.peakMegabytes = std::max(t.peakMegabytes, peakResidentMegabytes());
    }
}

Timings runReference(int cycles, int firstMeasured) {
    resetPeakResidentMemory();
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
        t.peakMegabytes = std::max(t.peakMegabytes, peakResidentMegabytes());
    }
    return t;
}

// Every run is made in a child process of its own, so that each starts as a
// fresh program does and its peak memory is its own. The child sends back
// what it measured as a row of numbers.
struct RunReport {
    std::vector<Timings> timings;
    double nutrientPass = 0;
    AheadCounts feeding;            // eaters whose meals were worked out ahead, and redone
    AheadCounts moves;              // herbivores whose moves were worked out ahead, and redone
    std::vector<int32_t> endState;  // cycles, plants, herbivores, carnivores
};

void appendTimings(std::vector<double>& out, const Timings& t) {
    out.push_back(static_cast<double>(t.peakMegabytes));
    out.push_back(static_cast<double>(t.cycleMs.size()));
    out.insert(out.end(), t.cycleMs.begin(), t.cycleMs.end());
    out.insert(out.end(), t.cpuMs.begin(), t.cpuMs.end());
    for (const auto* steps : {&t.stepMs, &t.serialMs})
        for (const auto& step : *steps)
            out.insert(out.end(), step.begin(), step.end());
}

Timings takeTimings(const std::vector<double>& in, std::size_t& at) {
    Timings t;
    t.peakMegabytes = static_cast<long>(in[at++]);
    const auto n = static_cast<std::ptrdiff_t>(in[at++]);
    auto take = [&](std::vector<double>& into) {
        into.assign(in.begin() + static_cast<std::ptrdiff_t>(at),
                    in.begin() + static_cast<std::ptrdiff_t>(at) + n);
        at += static_cast<std::size_t>(n);
    };
    take(t.cycleMs);
    take(t.cpuMs);
    for (auto* steps : {&t.stepMs, &t.serialMs})
        for (auto& step : *steps)
            take(step);
    return t;
}

RunReport inChild(const std::function<RunReport()>& run) {
    int fds[2];
    if (pipe(fds) != 0) std::exit(1);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const RunReport report = run();
        std::vector<double> out{
            static_cast<double>(report.timings.size()), report.nutrientPass,
            static_cast<double>(report.feeding.worked), static_cast<double>(report.feeding.redone),
            static_cast<double>(report.moves.worked),   static_cast<double>(report.moves.redone),
            static_cast<double>(report.moves.alone)};
        for (const int32_t v : report.endState)
            out.push_back(v);
        for (const Timings& t : report.timings)
            appendTimings(out, t);
        const auto* bytes = reinterpret_cast<const char*>(out.data());
        for (std::size_t left = out.size() * sizeof(double); left > 0;) {
            const ssize_t written = write(fds[1], bytes, left);
            if (written <= 0) _exit(1);
            bytes += written;
            left -= static_cast<std::size_t>(written);
        }
        _exit(0);
    }
    close(fds[1]);
    std::vector<char> bytes;
    char buffer[65536];
    for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + got);
    close(fds[0]);
    waitpid(child, nullptr, 0);
    std::vector<double> in(bytes.size() / sizeof(double));
    std::memcpy(in.data(), bytes.data(), in.size() * sizeof(double));
    RunReport report;
    std::size_t at = 0;
    const auto runs = static_cast<std::size_t>(in.at(at++));
    report.nutrientPass = in.at(at++);
    report.feeding.worked = static_cast<int64_t>(in.at(at++));
    report.feeding.redone = static_cast<int64_t>(in.at(at++));
    report.moves.worked = static_cast<int64_t>(in.at(at++));
    report.moves.redone = static_cast<int64_t>(in.at(at++));
    report.moves.alone = static_cast<int64_t>(in.at(at++));
    for (int i = 0; i < 4; ++i)
        report.endState.push_back(static_cast<int32_t>(in.at(at++)));
    for (std::size_t r = 0; r < runs; ++r)
        report.timings.push_back(takeTimings(in, at));
    return report;
}

// One model run in a child: the timings of the cycles that threadsFor(c)
// puts into each group (0 or 1).
RunReport modelRun(int cycles, int firstMeasured, int groups,
                   const std::function<int(int)>& threadsFor,
                   const std::function<int(int)>& groupOf) {
    return inChild([=] {
        RunReport report;
        report.timings.resize(static_cast<std::size_t>(groups));
        runModel(cycles, firstMeasured, threadsFor, [&](int c) -> Timings& {
            return report.timings[static_cast<std::size_t>(groupOf(c))];
        });
        report.nutrientPass = nutrientPassMs();
        report.feeding = feedingAheadCounts();
        report.moves = movesAheadCounts();
        report.endState = {kk, Ppop, Hpop, Cpop};
        return report;
    });
}

void printModel(const char* name, const Timings& t) {
    std::printf(
        "%s: median cycle %8.1f ms (process CPU time %.1f ms), peak resident memory %ld MB\n", name,
        t.cycle(), median(t.cpuMs), t.peakMegabytes);
    for (int s = 0; s < kSteps; ++s)
        std::printf("  median %-20s%8.1f ms\n", kStepNames[s], median(t.stepMs[s]));
}

// Records worked out ahead and the share redone in order, if any were.
void printAhead(const char* format, const AheadCounts& counts) {
    if (counts.worked == 0) return;
    std::printf(format, static_cast<long long>(counts.worked),
                static_cast<double>(counts.redone) / static_cast<double>(counts.worked));
}

void printRatio(const char* what, double numerator, double denominator) {
    std::printf("%-34s%8.3f\n", what, denominator > 0 ? numerator / denominator : 0.0);
}

// One thread's steps against fixed figures: the milliseconds a cycle of this
// run took on one thread on a quiet machine before the steps ran on several
// threads (the middle of the range measured then).
struct FixedFigure {
    Step step;
    double lowest, highest;
};
constexpr FixedFigure kBeforeThreads[] = {
    {Step::eat, 82, 89}, {Step::reproduce, 40, 45}, {Step::cull, 24, 25}};

void printAgainstFixedFigures(const Timings& one) {
    std::printf("1 thread against the build before threads (ms then, ratio):");
    for (const FixedFigure& f : kBeforeThreads) {
        const double now = median(one.stepMs[static_cast<int>(f.step)]);
        std::printf("  %s %.1f (%.0f-%.0f) %.3f", kStepNames[static_cast<int>(f.step)], now,
                    f.lowest, f.highest, now / ((f.lowest + f.highest) / 2));
    }
    std::printf("\n");
}

// The serial part of each step as its timers measured it on several
// threads, against the step's whole time on one.
void printSerialPart(const Timings& one, const Timings& many, double reference) {
    std::vector<const char*> names;
    std::vector<double> oneMs, serialMs;
    for (int s = 0; s < kSteps; ++s) {
        names.push_back(kStepNames[s]);
        oneMs.push_back(median(one.stepMs[s]));
        serialMs.push_back(median(many.serialMs[s]));
    }
    bench::printSerialShare(names, oneMs, serialMs, reference);
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
    // Resolved here, but every pool is made in the child that uses it.
    const int threads = numbers.size() > 2 && numbers[2] > 0
                            ? numbers[2]
                            : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

    // No data files: a fresh nutrient layer and a generated seed sample.
    const auto scratch =
        std::filesystem::temp_directory_path() / ("kesmir-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);

    Timings one, many;
    RunReport last;
    if (alternate) {
        // 1, N, N, 1, 1, N, N, 1, ...: both see the slow growth of the world alike.
        auto isMany = [](int c) { return (c + 1) / 2 % 2 == 1; };
        last = modelRun(
            cycles, firstMeasured, 2, [=](int c) { return isMany(c) ? threads : 1; },
            [=](int c) { return isMany(c) ? 1 : 0; });
        one = last.timings[0];
        many = last.timings[1];
    } else {
        if (withSingle) {
            last = modelRun(
                cycles, firstMeasured, 1, [](int) { return 1; }, [](int) { return 0; });
            one = last.timings[0];
        }
        last = modelRun(
            cycles, firstMeasured, 1, [=](int) { return threads; }, [](int) { return 0; });
        many = last.timings[0];
    }
    Timings plain;
    if (withReference) {
        plain = inChild([=] {
                    RunReport report;
                    report.timings.push_back(runReference(cycles, firstMeasured));
                    report.endState = {0, 0, 0, 0};
                    return report;
                }).timings[0];
    }

    std::printf("default world, seed 1: %d cycles, cycles %d..%d measured%s\n", last.endState[0],
                firstMeasured, last.endState[0] - 1,
                alternate ? ", thread counts alternating" : "");
    std::printf("populations at the end: %d plants, %d herbivores, %d carnivores\n",
                last.endState[1], last.endState[2], last.endState[3]);
    // Only what was measured: a model left out would print as zeros.
    const bool withOne = withSingle || alternate;
    if (withOne) printModel("1 thread", one);
    const std::string manyName = std::to_string(threads) + " threads";
    printModel(manyName.c_str(), many);
    if (withReference)
        std::printf("reference model: median cycle %8.1f ms, peak resident memory %ld MB\n",
                    plain.cycle(), plain.peakMegabytes);
    if (withOne) printRatio(("1 thread / " + manyName).c_str(), one.cycle(), many.cycle());
    if (withReference) {
        if (withOne) printRatio("1 thread / reference model", one.cycle(), plain.cycle());
        printRatio((manyName + " / reference model").c_str(), many.cycle(), plain.cycle());
    }
    if (withOne) {
        printAgainstFixedFigures(one);
        if (threads > 1) printSerialPart(one, many, withReference ? plain.cycle() : 0.0);
    }
    printAhead("meals worked out ahead: %lld eaters, %.4f of them fed again in order\n",
               last.feeding);
    printAhead("moves worked out ahead: %lld herbivores, %.4f of them moved again in order\n",
               last.moves);
    if (last.moves.worked > 0)
        std::printf("moves made alone while the thread ahead lagged: %.4f of herbivores\n",
                    static_cast<double>(last.moves.alone) / static_cast<double>(last.moves.worked));
    std::printf("plain nutrient pass               %8.2f ms\n", last.nutrientPass);
    if (withOne) printRatio("1 thread / nutrient pass", one.cycle(), last.nutrientPass);
    printRatio((manyName + " / nutrient pass").c_str(), many.cycle(), last.nutrientPass);

    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
    return 0;
}
