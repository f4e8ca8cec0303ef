// The values a run starts with. Every other test resets the parameters and
// counters first, so a wrong initial value would pass them all: here the
// globals are read as the test program loads, before any test touches them.
// Then the table that reads and resets the parameters, which must hold every
// one of them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>

#include "reports/model/spot_file.h"
#include "sim/cycle_params.h"
#include "sim/run_control.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/named_params.h"
#include "world/params.h"

namespace kesmir::testing {
namespace {

using Values = std::map<std::string, double>;  // every value here is exact as a double

Values currentValues() {
    return {{"delay", delay},        {"even", even},
            {"store", store.load()}, {"pause", simulationPaused()},
            {"Ppop", Ppop},          {"Hpop", Hpop},
            {"Cpop", Cpop},          {"PRenergy", PRenergy},
            {"HRenergy", HRenergy},  {"CRenergy", CRenergy},
            {"PNoffset", PNoffset},  {"HNoffset", HNoffset},
            {"CNoffset", CNoffset},  {"PSoffset", PSoffset},
            {"HSoffset", HSoffset},  {"CSoffset", CSoffset},
            {"PMoffset", PMoffset},  {"HMoffset", HMoffset},
            {"CMoffset", CMoffset},  {"PAoffset", PAoffset},
            {"HAoffset", HAoffset},  {"CAoffset", CAoffset},
            {"Hmin", Hmin},          {"Cmin", Cmin}};
}

// The globals are constant-initialised, so they hold their start values
// before this dynamic initialisation runs.
const Values kAtLoad = currentValues();

const Values kStartValues = {
    {"delay", 3},        {"even", true},      {"store", false},    {"pause", true},
    {"Ppop", 500000},    {"Hpop", 230000},    {"Cpop", 50000},     {"PRenergy", 12.5f},
    {"HRenergy", 65.0f}, {"CRenergy", 35.5f}, {"PNoffset", 5},     {"HNoffset", 19},
    {"CNoffset", 39},    {"PSoffset", 29.1f}, {"HSoffset", 56.1f}, {"CSoffset", 1.2f},
    {"PMoffset", 3.1f},  {"HMoffset", 4.2f},  {"CMoffset", 5.3f},  {"PAoffset", 1},
    {"HAoffset", 1},     {"CAoffset", 3},     {"Hmin", 1},         {"Cmin", 3}};

TEST(StartValuesTest, EveryParameterStartsAtItsTableValue) {
    EXPECT_EQ(kAtLoad, kStartValues);
}

// Each parameter is read into the cycle's copy and put back by a reset.
TEST(StartValuesTest, EveryParameterIsReadAndReset) {
    for (const NamedParameter& parameter : namedParameters()) {
        std::visit([&](auto* global) { *global = *global + 1; }, parameter.global);
        takeCycleParams();
        EXPECT_NE(cycleParams(), kStartParameters) << parameter.name;
        resetParameters();
        EXPECT_EQ(currentParameters(), kStartParameters) << parameter.name;
    }
}

}  // namespace
}  // namespace kesmir::testing
