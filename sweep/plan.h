// What a sweep will take, printed before it starts: the runs, the core-hours
// and the memory they need, and how many run at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sweep/sweep_folder.h"

namespace kesmir {

// Figures of one run of the default world on one thread, measured with
// /usr/bin/time on this project's 2-core machine (README, "Sweeps"): starting
// and seeding take about 0.45 s of CPU, 200 cycles 47 s (0.23 s a cycle,
// 0.19 s over the first 50), and the run's peak is 444 MB at cycle 200.
constexpr double kStartSeconds = 0.5;
constexpr double kCycleCoreSeconds = 0.2;
constexpr double kRunBytes = 0.45e9;

struct SweepPlan {
    std::size_t runs = 0;
    std::size_t toRun = 0;  // not finished yet
    double coreHours = 0;   // of the runs to run
    int threads = 1;        // the most any run uses
    int jobs = 1;           // runs at once
    int cores = 1;
    double availableBytes = 0;
    double wallSeconds = 0;  // at `jobs` at once
};

// `jobsAsked` 0: as many as the cores and the memory of this machine allow.
SweepPlan planSweep(const Sweep& sweep, std::size_t finished, int jobsAsked);

// The runs, their core-hours and memory; then, for this machine, how many
// run at once, their peak memory and the time they take.
std::string planText(const SweepPlan& plan);
std::string machinePlanText(const SweepPlan& plan);

// "about 3 min", "about 2.5 h".
std::string durationText(double seconds);

// The memory a run of `threads` threads asks of a scheduler, in MB.
int64_t runMegabytes(int threads);

}  // namespace kesmir
