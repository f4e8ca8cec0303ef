// The command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesmir {

struct Options {
    enum class Action { run, help, version, fail };
    Action action = Action::run;
    bool headless = false;
    int64_t cycles = -1;  // -1: until the stop rule
    uint32_t seed = 1;
    int32_t delay = 3;
    bool timings = false;
    int32_t threads = 0;  // 0: the machine's cores
    std::string error;    // one line, when action is fail
};

Options parseOptions(const std::vector<std::string>& arguments);

std::string usageText();
std::string versionText();

}  // namespace kesmir
