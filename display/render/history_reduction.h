// The population history as the chart draws it: at most about two points per
// pixel column, however long the run, with every column's lowest and highest
// count kept, so the drawn line covers exactly what the full one would.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "stats/population_history.h"

namespace kesmir {

struct ChartPoint {
    int32_t cycle = 0;
    int32_t count = 0;
    bool operator==(const ChartPoint&) const = default;
};

// Plants, herbivores, carnivores.
using ChartLines = std::array<std::vector<ChartPoint>, 3>;

// The counts of PopulationCounts in the order of ChartLines.
inline constexpr std::array<int32_t PopulationCounts::*, 3> kChartedCounts{
    &PopulationCounts::plants, &PopulationCounts::herbivores, &PopulationCounts::carnivores};

// The first `count` entries of `history` as three lines, each reduced as
// keptEntries (display/render/line_reduction.h) says.
ChartLines reduceHistory(const PopulationHistory& history, std::size_t count, int columns);

}  // namespace kesmir
