#include "sweep/sweep_command.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>

#include "files/safe_file.h"
#include "sweep/engines.h"
#include "sweep/plan.h"
#include "sweep/progress.h"
#include "sweep/run_wrapper.h"
#include "world/format.h"

namespace kesmir {

namespace {

constexpr const char* kUsage =
    "Usage: kesmir sweep EXPERIMENT --out DIR [--jobs N] [--hosts FILE] [--slurm]\n"
    "       kesmir sweep status DIR\n"
    "       kesmir sweep collect DIR\n"
    "Runs every combination of the values an experiment file lists (NAME = VALUE, a list\n"
    "A, B, C or a range A..B [step S]) as a run of kesmir in a folder of its own in DIR,\n"
    "through GNU parallel on this machine (--jobs at once), over the ssh logins of a\n"
    "hosts file (--hosts), or as a Slurm job array (--slurm). The same command again goes\n"
    "on where a sweep stopped. status counts the runs; collect writes DIR/results.csv,\n"
    "DIR/summary.csv and DIR/summary.png.\n";

int refuse(const std::string& message) {
    std::fprintf(stderr, "kesmir: sweep: %s\n", message.c_str());
    return 2;
}

// Parses `arguments` (CLI11 wants them last-first); false with the message.
bool parse(CLI::App& app, const std::vector<std::string>& arguments, std::string& error) {
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return false;
    }
    return true;
}

int startSweep(const std::string& experimentPath, const std::string& out,
               const EngineOptions& options) {
    if (options.slurm && !options.hosts.empty())
        return refuse("--slurm and --hosts are two engines: choose one");
    if (!options.hosts.empty() && ::access(options.hosts.c_str(), R_OK) != 0)
        return refuse("cannot read the hosts file '" + options.hosts + "'");
    std::string text, error;
    if (readWholeFile(experimentPath, text, error, 1 << 20) != ReadStatus::ok) return refuse(error);
    const std::string program = programPath();
    Sweep sweep;
    if (!layOutSweep(text, experimentPath, out, program, sweep, error)) return refuse(error);
    const SweepCounts counts = countRuns(sweep);
    const SweepPlan plan = planSweep(sweep, counts.finished, options.jobs);
    std::fputs(planText(plan).c_str(), stderr);
    if (options.slurm) {
        std::fprintf(stderr, "kesmir: sweep: array tasks of %d CPUs and %lld MB\n", plan.threads,
                     (long long)runMegabytes(plan.threads));
        return submitToSlurm(sweep, program, plan, options);
    }
    if (options.hosts.empty())
        std::fputs(machinePlanText(plan).c_str(), stderr);
    else
        std::fprintf(stderr, "kesmir: sweep: over the logins of %s, %s\n", options.hosts.c_str(),
                     options.jobs > 0 ? formatted("%d at once on each", options.jobs).c_str()
                                      : "one per core on each, by the threads of a run");
    if (plan.toRun == 0) {
        std::fputs("kesmir: sweep: every run has finished\n", stderr);
        return 0;
    }
    return runThroughParallel(sweep, program, plan, options);
}

}  // namespace

int sweepCommand(const std::vector<std::string>& arguments, SummaryDrawer drawSummary) {
    for (const std::string& argument : arguments)
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    const std::string what = arguments.empty() ? "" : arguments.front();
    const std::vector<std::string> rest(arguments.begin() + (arguments.empty() ? 0 : 1),
                                        arguments.end());
    CLI::App app{"", "kesmir sweep"};
    app.set_help_flag();
    std::string dir, error;
    if (what == "status" || what == "collect") {
        app.add_option("DIR", dir)->required();
        if (!parse(app, rest, error)) return refuse(what + ": " + error);
        Sweep sweep;
        if (!openSweep(dir, sweep, error)) return refuse(error);
        if (what == "collect") return collectSweep(sweep, drawSummary);
        std::fputs(statusText(sweep).c_str(), stdout);
        return 0;
    }
    if (what == "run") {
        std::size_t run = 0;
        app.add_option("DIR", dir)->required();
        app.add_option("N", run)->required();
        if (!parse(app, rest, error)) return refuse("run: " + error);
        return runOneRun(dir, run);
    }
    std::string experiment;
    EngineOptions options;
    app.add_option("EXPERIMENT", experiment)->required();
    app.add_option("--out", dir)->required();
    app.add_option("--jobs", options.jobs)->check(CLI::Range(1, 100000));
    app.add_option("--hosts", options.hosts);
    app.add_flag("--slurm", options.slurm);
    if (!parse(app, arguments, error)) return refuse(error + " (see kesmir sweep --help)");
    return startSweep(experiment, dir, options);
}

}  // namespace kesmir
