// Entry point: reads the command line, then runs the simulation with a window
// or headless.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_texts.h"
#include "app/options.h"
#include "app/run_setup.h"
#include "files/parameter_file.h"
#include "files/temporary_files.h"
#include "files/writes_in_progress.h"
#include "sim/eco_node.h"
#include "sim/run_control.h"
#include "sweep/sweep_command.h"

#ifdef KESMIR_HAS_GUI
#include "display/pictures.h"
#include "display/summary_picture.h"
#include "display/window_app.h"
#endif

namespace {

// Before any thread starts: what an ended run left behind goes, and what
// this run writes is never left half-done by SIGINT, SIGTERM or SIGHUP.
void prepareFiles() {
    kesmir::removeStaleTemporaryFiles();
    kesmir::removeTemporaryFilesOnSignals();
}

// Every way a run ends by itself or at the user's request is a success;
// SIGINT and SIGTERM end the process by their own handlers (130, 143).
int exitCodeFor(kesmir::RunEnd end) {
    switch (end) {
        case kesmir::RunEnd::populationCollapsed:
        case kesmir::RunEnd::cycleLimit:
        case kesmir::RunEnd::quitRequested:
            return 0;
    }
    return 0;
}

// Finishes the writes in progress whole (pictures still being encoded
// included; no new write begins), prints the step timings if asked for and
// ends the process. After Q or a closed window the simulation thread may
// still be inside a cycle, and its worker threads wait in any case: the
// process ends with std::_Exit, so that no static destructor runs under
// them.
[[noreturn]] void endRun(kesmir::RunEnd end) {
    kesmir::requestQuit();  // a simulation still running begins no further cycle
    kesmir::finishWritesInProgress();
    std::fflush(stdout);
    if (kesmir::runSettings.printTimings) std::fputs(kesmir::stepTimings.report().c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(exitCodeFor(end));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "sweep") {
        const std::vector<std::string> arguments(argv + 2, argv + argc);
        for (const std::string& argument : arguments)
            if (argument == "--help" || argument == "-h") {
                std::fputs(kesmir::sweepUsageText().c_str(), stdout);
                return 0;
            }
#ifdef KESMIR_HAS_GUI
        const kesmir::SummaryDrawer drawSummary = kesmir::drawSummaryPicture;
#else
        const kesmir::SummaryDrawer drawSummary = nullptr;
#endif
        return kesmir::sweepCommand(arguments, drawSummary);
    }
    const kesmir::Options options =
        kesmir::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
        case kesmir::Options::Action::help:
            std::fputs(kesmir::usageText().c_str(), stdout);
            return 0;
        case kesmir::Options::Action::version:
            std::fputs(kesmir::versionText().c_str(), stdout);
            return 0;
        case kesmir::Options::Action::fail:
            std::fprintf(stderr, "kesmir: %s\n", options.error.c_str());
            return 2;
        case kesmir::Options::Action::run:
            break;
    }
#ifndef KESMIR_HAS_GUI
    if (options.pngEvery > 0) {
        std::fputs("kesmir: --png-every needs a build with Qt (KESMIR_GUI=ON)\n", stderr);
        return 2;
    }
#endif
    if (std::string error; !kesmir::setUpRun(options, error)) {
        std::fprintf(stderr, "kesmir: %s\n", error.c_str());
        return 2;
    }
    if (options.printParameters) {
        std::fputs(kesmir::parameterFileText().c_str(), stdout);
        return 0;
    }
    prepareFiles();
#ifdef KESMIR_HAS_GUI
    kesmir::runSettings.savePicture = kesmir::saveWorldPictureAtBoundary;
    if (!options.headless) {
        std::string why;
        if (kesmir::windowSystemAvailable(why)) endRun(kesmir::runWindowed(argc, argv));
        std::fprintf(stderr, "kesmir: %s; running headless\n", why.c_str());
    }
#endif
    endRun(kesmir::ecoNode());
}
