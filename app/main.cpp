// Entry point: reads the command line, then runs the simulation with a window
// or headless.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/options.h"
#include "sim/eco_node.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

#ifdef KESMIR_HAS_GUI
#include "display/window_app.h"
#endif

namespace {

void prepareModel(const kesmir::Options& options) {
    kesmir::allocateWorld();
    kesmir::initDir();
    kesmir::seedRandom(options.seed);
    kesmir::delay = options.delay;
    kesmir::runSettings.cycleLimit = options.cycles;
    kesmir::runSettings.printTimings = options.timings;
    kesmir::runSettings.threads = options.threads;
}

[[noreturn]] void runHeadless() {
    std::thread simulation(kesmir::ecoNode);
    simulation.join();  // the simulation ends the process
    kesmir::endProcess(0);
}

}  // namespace

int main(int argc, char** argv) {
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
    prepareModel(options);
#ifdef KESMIR_HAS_GUI
    if (!options.headless) {
        std::string why;
        if (kesmir::windowSystemAvailable(why)) return kesmir::runWindowed(argc, argv);
        std::fprintf(stderr, "kesmir: %s; running headless\n", why.c_str());
    }
#endif
    runHeadless();
}
