// The engines that run a sweep's runs, each an existing program: GNU parallel
// on this machine or, with a hosts file, over ssh logins; or a Slurm job
// array. Every engine runs the same command per run (the job list's).
#pragma once

#include <string>

#include "sweep/plan.h"
#include "sweep/sweep_folder.h"

namespace kesmir {

struct EngineOptions {
    int jobs = 0;       // 0: from the cores and memory (per host with hosts)
    std::string hosts;  // GNU parallel's --sshloginfile
    bool slurm = false;
};

// Runs the unfinished runs through GNU parallel with a progress line; the
// exit code: 0 when every run has finished, 1 when some failed, 2 when GNU
// parallel could not be used, 128 + the signal when stopped by one.
int runThroughParallel(const Sweep& sweep, const std::string& program, const SweepPlan& plan,
                       const EngineOptions& options);

// Writes the job-array script and submits the unfinished runs with sbatch.
int submitToSlurm(const Sweep& sweep, const std::string& program, const SweepPlan& plan,
                  const EngineOptions& options);

// "1-3,5,7-9" for the runs not finished.
std::string pendingRanges(const Sweep& sweep);

}  // namespace kesmir
