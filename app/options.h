// The command line.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "app/command_texts.h"
#include "files/parameter_file.h"
#include "sim/trait_sampling.h"

namespace kesmir {

// A --set NAME=VALUE, already checked, or the FILE of a --params FILE, to be read.
using ParameterSource = std::variant<ParameterSetting, std::string>;

struct Options {
    enum class Action { run, help, version, fail };
    Action action = Action::run;
    bool headless = false;
    int64_t cycles = -1;  // -1: until the stop rule
    uint32_t seed = 1;
    int32_t delay = 3;
    bool timings = false;
    int32_t threads = 0;                      // 0: the machine's cores
    std::vector<ParameterSource> parameters;  // in the order given: the later one holds
    bool printParameters = false;
    int64_t checkpointEvery = 0;  // 0: only on the K key
    std::string resume;           // the checkpoint to start from, "" to seed
    int32_t pngEvery = 0;         // save world-CYCLE.png every this many cycles; 0: never
    int32_t traitsEvery = kDefaultTraitsEvery;  // count the gene fields, write traits.csv; 0: never
    int32_t histogramsEvery = 0;                // write histograms.csv every N cycles; 0: never
    std::string error;                          // one line, when action is fail
};

Options parseOptions(const std::vector<std::string>& arguments);

std::string versionText();

// The program's own options as --help lists them (app/command_texts.h makes
// the texts from it).
CommandText programCommandText();

}  // namespace kesmir
