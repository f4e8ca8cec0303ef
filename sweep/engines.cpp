#include "sweep/engines.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "files/safe_file.h"
#include "sweep/child_process.h"
#include "sweep/progress.h"
#include "sweep/run_state.h"
#include "world/format.h"

namespace kesmir {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(200);
constexpr int kPollsPerProgress = 5;

// Each job gets five seconds to pass the signal on to kesmir and end.
constexpr const char* kStopSequence = "TERM,5000,KILL,25";

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string folder(rest.substr(0, colon));
        if (::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
    }
    return false;
}

bool write(const std::string& path, const std::string& text) {
    const WriteResult result = writeFileAtomically(path, text);
    if (!result.ok) std::fprintf(stderr, "kesmir: sweep: %s\n", result.error.c_str());
    return result.ok;
}

std::string parallelJobs(const SweepPlan& plan, const EngineOptions& options) {
    if (options.jobs > 0) return std::to_string(options.jobs);
    if (!options.hosts.empty()) return formatted("%d%%", std::max(1, 100 / plan.threads));
    return std::to_string(plan.jobs);
}

}  // namespace

std::string pendingRanges(const Sweep& sweep) {
    std::string ranges;
    std::size_t first = 0;  // of the range being gathered, 0 for none
    auto close = [&](std::size_t last) {
        if (first == 0) return;
        if (!ranges.empty()) ranges += ",";
        ranges += first == last ? std::to_string(first) : formatted("%zu-%zu", first, last);
        first = 0;
    };
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        if (runStatus(sweep.folder(run)).state == RunState::finished)
            close(run - 1);
        else if (first == 0)
            first = run;
    }
    close(sweep.runs());
    return ranges;
}

int runThroughParallel(const Sweep& sweep, const std::string& program, const SweepPlan& plan,
                       const EngineOptions& options) {
    if (!onPath("parallel")) {
        std::fputs(
            "kesmir: sweep: GNU parallel is not installed (the Debian package parallel; "
            "scripts/install-deps.sh installs it)\n",
            stderr);
        return 2;
    }
    std::string commands;
    for (std::size_t run = 1; run <= sweep.runs(); ++run)
        if (runStatus(sweep.folder(run)).state != RunState::finished)
            commands += runCommand(program, sweep, run) + "\n";
    const std::string pending = sweep.dir + "/pending.txt";
    if (!write(pending, commands)) return 2;
    ChildSetup setup;
    setup.arguments = {"parallel",
                       "--jobs",
                       parallelJobs(plan, options),
                       "--joblog",
                       sweep.dir + "/parallel-joblog.txt",
                       "--termseq",
                       kStopSequence,
                       "--arg-file",
                       pending};
    if (!options.hosts.empty())
        setup.arguments.insert(setup.arguments.begin() + 1, {"--sshloginfile", options.hosts});
    setup.input = "/dev/null";
    setup.output = setup.errors = sweep.dir + "/parallel.log";
    catchStopSignals();
    std::string error;
    const pid_t parallel = startChild(setup, error);
    if (parallel < 0) {
        std::fprintf(stderr, "kesmir: sweep: %s\n", error.c_str());
        return 2;
    }
    ProgressLine progress(countRuns(sweep));
    int status = 0;
    bool stopping = false;
    for (int poll = 0; !childEnded(parallel, status); ++poll) {
        if (stopSignal() != 0 && !stopping) {
            ::kill(parallel, SIGINT);  // GNU parallel then stops its jobs (SIGTERM to each)
            stopping = true;
        }
        if (poll % kPollsPerProgress == 0) progress.show(countRuns(sweep));
        std::this_thread::sleep_for(kPoll);
    }
    const SweepCounts counts = countRuns(sweep);
    progress.show(counts);
    progress.end();
    if (const int signal = stopSignal()) {
        std::fprintf(stderr,
                     "kesmir: sweep: stopped with %zu of %zu runs finished; the same command goes "
                     "on from there\n",
                     counts.finished, sweep.runs());
        return 128 + signal;
    }
    std::fputs(failureReport(sweep).c_str(), stderr);
    if (counts.finished == sweep.runs()) return 0;
    if (counts.running > 0)
        std::fprintf(stderr, "kesmir: sweep: %zu runs are being run by another process\n",
                     counts.running);
    else if (counts.failed == 0)
        std::fprintf(stderr, "kesmir: sweep: GNU parallel ended with %s; see %s/parallel.log\n",
                     describeEnd(status).c_str(), sweep.dir.c_str());
    return 1;
}

int submitToSlurm(const Sweep& sweep, const std::string& program, const SweepPlan& plan,
                  const EngineOptions& options) {
    if (!onPath("sbatch")) {
        std::fputs(
            "kesmir: sweep: sbatch is not on the PATH (Slurm's client, the Debian package "
            "slurm-client)\n",
            stderr);
        return 2;
    }
    const std::string ranges = pendingRanges(sweep);
    if (ranges.empty()) {
        std::fputs("kesmir: sweep: every run has finished\n", stderr);
        return 0;
    }
    const std::string logs = sweep.dir + "/slurm";
    ::mkdir(logs.c_str(), 0777);
    const std::string script = sweep.dir + "/sweep.sbatch";
    const std::string text =
        formatted(
            "#!/bin/sh\n"
            "# One array task per run of the sweep; the task's number is the run's.\n"
            "#SBATCH --job-name=kesmir-sweep\n"
            "#SBATCH --cpus-per-task=%d\n"
            "#SBATCH --mem=%lldM\n"
            "#SBATCH --output=%s/task-%%a.out\n",
            plan.threads, (long long)runMegabytes(plan.threads), logs.c_str()) +
        "exec " + shellQuoted(program) + " sweep run " + shellQuoted(sweep.dir) +
        " \"$SLURM_ARRAY_TASK_ID\"\n";
    if (!write(script, text)) return 2;
    const int throttle = options.jobs > 0 ? options.jobs : int(plan.toRun);
    ChildSetup setup;
    setup.arguments = {"sbatch", "--parsable",
                       formatted("--array=%s%%%d", ranges.c_str(), throttle), script};
    setup.input = "/dev/null";
    setup.output = setup.errors = logs + "/sbatch.out";
    ::unlink(setup.output.c_str());
    std::string error;
    const pid_t sbatch = startChild(setup, error);
    const int status = sbatch < 0 ? 0 : waitForChild(sbatch);
    std::string answer;
    readWholeFile(setup.output, answer, error, 1 << 16);
    while (!answer.empty() && answer.back() == '\n')
        answer.pop_back();
    if (sbatch < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "kesmir: sweep: sbatch failed (%s): %s\n",
                     sbatch < 0 ? error.c_str() : describeEnd(status).c_str(), answer.c_str());
        return 2;
    }
    std::fprintf(stderr,
                 "kesmir: sweep: submitted job array %s: runs %s, at most %d at once; "
                 "kesmir sweep status %s follows it\n",
                 answer.c_str(), ranges.c_str(), throttle, shellQuoted(sweep.dir).c_str());
    return 0;
}

}  // namespace kesmir
