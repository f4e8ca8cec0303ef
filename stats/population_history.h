// Every cycle's population counts since the start, the numbers the cycle
// writes to "dt.dat", kept in memory for the population chart (and in
// checkpoints, so that a resumed run's chart shows the whole run). The
// simulation thread appends; any thread may read (see GrowingHistory).
#pragma once

#include <cstdint>

#include "stats/growing_history.h"

namespace kesmir {

struct PopulationCounts {
    int32_t cycle = 0;
    int32_t plants = 0;
    int32_t herbivores = 0;
    int32_t carnivores = 0;
};

// 2^31 entries in all, in blocks of 65,536.
class PopulationHistory
    : public GrowingHistory<PopulationCounts, std::size_t{1} << 16, std::size_t{1} << 15> {};

extern PopulationHistory populationHistory;

}  // namespace kesmir
