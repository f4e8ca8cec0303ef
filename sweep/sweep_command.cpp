#include "sweep/sweep_command.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>

#include "files/safe_file.h"
#include "sweep/engines.h"
#include "sweep/plan.h"
#include "sweep/progress.h"
#include "sweep/run_wrapper.h"
#include "sweep/sweep_arguments.h"
#include "world/format.h"

namespace kesmir {

namespace {

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
    const SweepSubcommand& subcommand = sweepSubcommandOf(arguments);
    const std::string word = subcommand.word;
    SweepArguments given;
    const std::unique_ptr<CLI::App> parser = sweepParser(subcommand, given);
    std::string error;
    if (!parse(
            *parser,
            std::vector<std::string>(arguments.begin() + (word.empty() ? 0 : 1), arguments.end()),
            error))
        return refuse((word.empty() ? "" : word + ": ") + error + " (see kesmir sweep --help)");
    if (word.empty()) return startSweep(given.experiment, given.dir, given.engine);
    if (word == "run") return runOneRun(given.dir, given.run);
    Sweep sweep;
    if (!openSweep(given.dir, sweep, error)) return refuse(error);
    if (word == "collect") return collectSweep(sweep, drawSummary);
    std::fputs(statusText(sweep).c_str(), stdout);
    return 0;
}

}  // namespace kesmir
