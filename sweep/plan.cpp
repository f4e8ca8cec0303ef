#include "sweep/plan.h"

#include <sched.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>

#include "world/format.h"

namespace kesmir {

namespace {

// A run's peak grows a little with its threads (their stacks and pieces).
constexpr double kThreadBytes = 0.02e9;

int machineCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

double availableMemory() {
    double bytes = 0;
    if (FILE* file = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        long long kilobytes = 0;
        while (std::fgets(line, sizeof line, file))
            if (std::sscanf(line, "MemAvailable: %lld kB", &kilobytes) == 1)
                bytes = 1024.0 * double(kilobytes);
        std::fclose(file);
    }
    return bytes;
}

double runBytes(int threads) {
    return kRunBytes + kThreadBytes * (threads - 1);
}

}  // namespace

SweepPlan planSweep(const Sweep& sweep, std::size_t finished, int jobsAsked) {
    SweepPlan plan;
    plan.runs = sweep.runs();
    plan.toRun = plan.runs - std::min(finished, plan.runs);
    double coreSeconds = 0;
    for (std::size_t run = 1; run <= plan.runs; ++run) {
        const int threads = int(settingNumber(sweep.value(run, "threads")));
        plan.threads = std::max(plan.threads, threads);
        coreSeconds +=
            kStartSeconds + kCycleCoreSeconds * double(settingNumber(sweep.value(run, "cycles")));
    }
    // The runs still to run are taken as average ones.
    coreSeconds *= double(plan.toRun) / double(std::max<std::size_t>(plan.runs, 1));
    plan.coreHours = coreSeconds / 3600;
    plan.cores = machineCores();
    plan.availableBytes = availableMemory();
    if (jobsAsked > 0) {
        plan.jobs = jobsAsked;
    } else {
        const int byCores = std::max(1, plan.cores / plan.threads);
        const int byMemory = plan.availableBytes > 0
                                 ? int(0.9 * plan.availableBytes / runBytes(plan.threads))
                                 : byCores;
        plan.jobs = std::max(1, std::min(byCores, byMemory));
    }
    plan.jobs =
        int(std::min<std::size_t>(std::size_t(plan.jobs), std::max<std::size_t>(plan.toRun, 1)));
    plan.wallSeconds = coreSeconds / double(plan.jobs * plan.threads);
    return plan;
}

std::string planText(const SweepPlan& plan) {
    std::string text = formatted("kesmir: sweep: %zu runs", plan.runs);
    if (plan.toRun != plan.runs) appendFormatted(text, ", %zu to run", plan.toRun);
    appendFormatted(text, ": about %.2f core-hours, %.2f GB a run\n", plan.coreHours,
                    runBytes(plan.threads) / 1e9);
    return text;
}

std::string machinePlanText(const SweepPlan& plan) {
    return formatted(
        "kesmir: sweep: %d at once on this machine (%d cores, %.1f GB free): peak "
        "about %.1f GB, %s\n",
        plan.jobs, plan.cores, plan.availableBytes / 1e9, plan.jobs * runBytes(plan.threads) / 1e9,
        durationText(plan.wallSeconds).c_str());
}

std::string durationText(double seconds) {
    if (seconds < 90) return formatted("about %.0f s", std::max(1.0, std::ceil(seconds)));
    if (seconds < 90 * 60) return formatted("about %.0f min", std::ceil(seconds / 60));
    return formatted("about %.1f h", seconds / 3600);
}

int64_t runMegabytes(int threads) {
    return int64_t(std::ceil(runBytes(threads) * 1.25 / 1e6));  // a margin over the peak
}

}  // namespace kesmir
