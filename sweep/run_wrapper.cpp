#include "sweep/run_wrapper.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "files/checkpoint_file.h"
#include "seed/gene_sample_file.h"
#include "sweep/child_process.h"
#include "sweep/cycle_log.h"
#include "sweep/run_state.h"
#include "sweep/sweep_folder.h"
#include "world/format.h"

namespace kesmir {

namespace {

constexpr int kFailureLines = 5;  // of stderr, told with a failed run

// The kesmir command line for the run: resumed from its checkpoint when it
// has one, else afresh from its seed.
bool runArguments(const std::string& folder, std::vector<std::string>& arguments,
                  std::string& startLine, std::string& error) {
    Experiment settings;
    if (!readExperiment(folder + "/" + kRunSettingsFile, settings, error)) return false;
    // A checkpoint holds the parameters already.
    const std::string checkpoint = folder + "/" + kCheckpointFile;
    const bool resume = ::access(checkpoint.c_str(), F_OK) == 0;
    arguments = {programPath(), "--headless", "--delay=0"};
    if (!resume) arguments.push_back(std::string("--params=") + kRunParametersFile);
    for (const ExperimentAxis& axis : settings.axes) {
        const std::string& value = axis.values.front();
        if (axis.name == "seed" && resume) continue;
        if (axis.name == "checkpoint-every" && value == "0") continue;  // kesmir's "never"
        arguments.push_back("--" + axis.name + "=" + value);
    }
    if (resume) {
        int32_t cycle = 0;
        if (!readCheckpointCycle(checkpoint, cycle, error)) return false;
        for (const char* log : kRunLogs)
            if (!keepEarlierLines(folder, log, cycle, error)) return false;
        arguments.push_back(std::string("--resume=") + kCheckpointFile);
        startLine = formatted("resumed from its checkpoint of cycle %d", int(cycle));
        return true;
    }
    // A fresh start must not see what an interrupted attempt left: the gene
    // sample would seed half of each population, earlier lines would join.
    ::unlink((folder + "/" + kGeneSampleFile).c_str());
    for (const char* log : kRunLogs)
        ::unlink((folder + "/" + log + kEarlierSuffix).c_str());
    startLine = "started afresh";
    return true;
}

void tellStderrFile(const std::string& folder, const std::string& line) {
    if (FILE* file = std::fopen((folder + "/" + kStderrFile).c_str(), "a")) {
        std::fprintf(file, "kesmir sweep: %s\n", line.c_str());
        std::fclose(file);
    }
}

int fail(const std::string& folder, const std::string& name, const std::string& why) {
    std::string error;
    writeRunState(folder, "failed: " + why, error);
    std::fprintf(stderr, "kesmir: sweep: %s failed (%s); the end of its %s:\n%s", name.c_str(),
                 why.c_str(), kStderrFile,
                 lastLines(folder + "/" + kStderrFile, kFailureLines).c_str());
    return 1;
}

}  // namespace

int runOneRun(const std::string& dir, std::size_t run) {
    Sweep sweep;
    std::string error;
    if (!openSweep(dir, sweep, error)) {
        std::fprintf(stderr, "kesmir: sweep: %s\n", error.c_str());
        return 2;
    }
    if (run < 1 || run > sweep.runs()) {
        std::fprintf(stderr, "kesmir: sweep: there is no run %zu in '%s' (1..%zu)\n", run,
                     sweep.dir.c_str(), sweep.runs());
        return 2;
    }
    const std::string folder = sweep.folder(run);
    const std::string name = sweep.folderName(run);
    RunLock lock;
    if (!lock.take(folder, error)) {
        if (!error.empty())
            std::fprintf(stderr, "kesmir: sweep: %s\n", error.c_str());
        else
            std::fprintf(stderr, "kesmir: sweep: %s is running already\n", name.c_str());
        return error.empty() ? 0 : 2;
    }
    if (runFinished(folder)) return 0;
    if (!removeRunState(folder, error)) {
        std::fprintf(stderr, "kesmir: sweep: %s\n", error.c_str());
        return 2;
    }
    catchStopSignals();
    ChildSetup setup;
    std::string startLine;
    if (!runArguments(folder, setup.arguments, startLine, error)) {
        tellStderrFile(folder, error);
        return fail(folder, name, "it could not be started: " + error);
    }
    tellStderrFile(folder, startLine);
    setup.folder = folder;
    setup.input = "/dev/null";
    setup.output = folder + "/" + kStdoutFile;
    setup.errors = folder + "/" + kStderrFile;
    setup.endWithParent = true;
    const pid_t child = startChild(setup, error);
    if (child < 0) return fail(folder, name, error);
    passSignalsTo(child);
    const int status = waitForChild(child);
    passSignalsTo(0);
    if (const int signal = stopSignal()) return 128 + signal;  // left to be resumed
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return fail(folder, name, describeEnd(status));
    for (const char* log : kRunLogs)
        if (!joinEarlierLines(folder, log, error)) return fail(folder, name, error);
    if (!writeRunState(folder, "finished", error)) return fail(folder, name, error);
    return 0;
}

}  // namespace kesmir
