#include "app/run_setup.h"

#include <cstdio>

#include "files/checkpoint_file.h"
#include "sim/eco_node.h"
#include "sim/trait_sampling.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

namespace kesmir {

namespace {

// With a checkpoint, each setting changes what the checkpoint had: say so.
void apply(const ParameterSetting& setting, bool overCheckpoint) {
    const std::string before = parameterText(*setting.parameter);
    setParameter(*setting.parameter, setting.value);
    if (overCheckpoint)
        std::fprintf(stderr, "kesmir: %s = %s over the checkpoint's %s\n", setting.parameter->name,
                     parameterText(*setting.parameter).c_str(), before.c_str());
}

bool applyParameters(const Options& options, std::string& error) {
    const bool overCheckpoint = !options.resume.empty();
    for (const ParameterSource& source : options.parameters) {
        if (const auto* setting = std::get_if<ParameterSetting>(&source)) {
            apply(*setting, overCheckpoint);
            continue;
        }
        std::vector<ParameterSetting> settings;
        if (!readParameterFile(std::get<std::string>(source), settings, error)) {
            error = "--params: " + error;
            return false;
        }
        for (const ParameterSetting& setting : settings)
            apply(setting, overCheckpoint);
    }
    return true;
}

}  // namespace

bool setUpRun(const Options& options, std::string& error) {
    allocateWorld();
    initDir();
    seedRandom(options.seed);
    delay = options.delay;
    runSettings.cycleLimit = options.cycles;
    runSettings.printTimings = options.timings;
    runSettings.threads = options.threads;
    runSettings.checkpointEvery = options.checkpointEvery;
    runSettings.pictureEvery = options.pngEvery;
    traitSettings = {options.traitsEvery, options.histogramsEvery};
    if (!options.resume.empty()) {
        if (!readCheckpoint(options.resume, error)) return false;
        runSettings.resumed = true;
    }
    return applyParameters(options, error);
}

}  // namespace kesmir
