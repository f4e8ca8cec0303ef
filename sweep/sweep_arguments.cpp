#include "sweep/sweep_arguments.h"

#include <CLI/CLI.hpp>
#include <array>

#include "sweep/experiment.h"

namespace kesmir {

namespace {

constexpr int kMostJobs = 100000;

void addFolder(CLI::App& app, SweepArguments& into) {
    app.add_option("DIR", into.dir, "the sweep's folder")->required()->type_name("DIR");
}

void startArguments(CLI::App& app, SweepArguments& into) {
    app.description(
        "Runs every combination of the values an experiment file lists, each as a headless run "
        "of kesmir in a folder of its own in DIR, through GNU parallel on this machine, over "
        "the ssh logins of a hosts file, or as a Slurm job array; the same command again goes "
        "on where a sweep stopped. The experiment file holds NAME = VALUE lines, where a value "
        "may also be a list (A, B, C) or a range (A..B or A..B step S); it names model "
        "parameters and the settings of each run: " +
        experimentSettingsText() + ".");
    app.add_option("EXPERIMENT", into.experiment, "the experiment file")
        ->required()
        ->type_name("EXPERIMENT");
    app.add_option("--out", into.dir,
                   "the sweep's folder: a folder per run, the job list, and what collect writes")
        ->required()
        ->type_name("DIR");
    app.add_option("--jobs", into.engine.jobs,
                   "run N at once (with --hosts, on each host), default as many as the cores and "
                   "the free memory allow (1.." +
                       std::to_string(kMostJobs) + ")")
        ->check(CLI::Range(1, kMostJobs).description(""))  // the range is in the meaning
        ->type_name("N");
    app.add_option("--hosts", into.engine.hosts,
                   "spread the runs over the ssh logins the file lists, one a line")
        ->type_name("FILE");
    app.add_flag("--slurm", into.engine.slurm, "submit the runs as a Slurm job array and return");
}

void statusArguments(CLI::App& app, SweepArguments& into) {
    app.description(
        "Counts the runs that have finished, are running, have failed or wait, whichever engine "
        "runs them; names each running run with its cycle and tells how each failed one ended.");
    addFolder(app, into);
}

void collectArguments(CLI::App& app, SweepArguments& into) {
    app.description(
        "Gathers the runs' files into DIR/results.csv (a row per run and cycle), "
        "DIR/summary.csv (the mean, lowest and highest over the seeds) and DIR/summary.png.");
    addFolder(app, into);
}

void runArguments(CLI::App& app, SweepArguments& into) {
    app.description(
        "Runs run N of the sweep in DIR, unless it has finished: what every engine starts.");
    addFolder(app, into);
    app.add_option("N", into.run, "the run's number")->required()->type_name("N");
}

constexpr std::array<SweepSubcommand, 4> kSubcommands{{
    {"", startArguments},
    {"status", statusArguments},
    {"collect", collectArguments},
    {"run", runArguments},
}};

}  // namespace

std::span<const SweepSubcommand> sweepSubcommands() {
    return kSubcommands;
}

const SweepSubcommand& sweepSubcommandOf(std::span<const std::string> arguments) {
    if (!arguments.empty())
        for (const SweepSubcommand& subcommand : kSubcommands)
            if (*subcommand.word != '\0' && arguments.front() == subcommand.word) return subcommand;
    return kSubcommands.front();
}

std::string sweepInvocation(const SweepSubcommand& subcommand) {
    return *subcommand.word == '\0' ? "sweep" : std::string("sweep ") + subcommand.word;
}

std::unique_ptr<CLI::App> sweepParser(const SweepSubcommand& subcommand, SweepArguments& into) {
    auto app = std::make_unique<CLI::App>("", "kesmir " + sweepInvocation(subcommand));
    app->set_help_flag();  // --help is answered before any parser runs
    subcommand.addArguments(*app, into);
    return app;
}

}  // namespace kesmir
