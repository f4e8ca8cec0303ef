// How long a spot sample waits for the simulation: runs the default world
// (seed 1) with the given delay and, from another thread, asks for holds at
// random moments, printing the median, 90th percentile and largest wait
// beside the median cycle time. A hold is served in the delay sleep, while
// paused and between steps, so the wait is bounded by the longest stretch of
// steps rather than by a cycle and its delay. For comparison, from the same
// run: the wait had holds been served only after the next cycle's sleep,
// i.e. the time to the next cycle's start plus the delay.
//
//   hold_bench [delay ms=3] [holds=40]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include "seed/seeding.h"
#include "sim/cycle_gate.h"
#include "sim/eco_node.h"
#include "sim/run_control.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

using namespace kesmir;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    const int delayMs = argc > 1 ? std::atoi(argv[1]) : 3;
    const int holds = argc > 2 ? std::atoi(argv[2]) : 40;
    const auto scratch = std::filesystem::temp_directory_path() / "kesmir-hold-bench";
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);  // no data files: a fresh world

    allocateWorld();
    initDir();
    seedRandom(1);
    delay = delayMs;
    kesmir::startRunControl();
    matureNutrients();

    // The status lines of the run go nowhere; the figures go to stdout.
    std::fflush(stdout);
    const int console = ::dup(1);
    const int nowhere = ::open("/dev/null", O_WRONLY);
    ::dup2(nowhere, 1);
    std::atomic<bool> done{false};
    std::vector<double> cycles;
    std::vector<Clock::time_point> starts;
    cycleGate.setRunning(true);
    std::thread simulation([&] {
        while (!done && !populationCollapsed()) {
            const auto start = Clock::now();
            starts.push_back(start);
            runCycle();
            cycles.push_back(ms(Clock::now() - start));
        }
        cycleGate.setRunning(false);
    });

    std::mt19937 pick(7);
    std::vector<double> waits;
    std::vector<Clock::time_point> askedAt;
    for (int i = 0; i < holds; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pick() % 400));
        const auto asked = Clock::now();
        askedAt.push_back(asked);
        cycleGate.hold();
        waits.push_back(ms(Clock::now() - asked));
        cycleGate.release();
    }
    done = true;
    simulation.join();
    std::fflush(stdout);
    ::dup2(console, 1);

    std::printf("delay %d ms, %zu holds over %zu cycles\n", delayMs, waits.size(), cycles.size());
    std::printf("hold wait ms: median %.1f, 90%% %.1f, largest %.1f\n", quantile(waits, 0.5),
                quantile(waits, 0.9), quantile(waits, 1.0));
    std::vector<double> atBoundary;
    for (const auto asked : askedAt) {
        const auto next = std::upper_bound(starts.begin(), starts.end(), asked);
        if (next != starts.end()) atBoundary.push_back(ms(*next - asked) + delayMs);
    }
    if (!atBoundary.empty()) {
        std::printf("served only at cycle boundaries, ms: median %.1f, 90%% %.1f, largest %.1f\n",
                    quantile(atBoundary, 0.5), quantile(atBoundary, 0.9),
                    quantile(atBoundary, 1.0));
    }
    std::printf("cycle ms (delay included): median %.1f\n", quantile(cycles, 0.5));
    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
}
