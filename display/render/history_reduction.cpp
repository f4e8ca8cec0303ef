#include "display/render/history_reduction.h"

#include "display/render/line_reduction.h"

namespace kesmir {

ChartLines reduceHistory(const PopulationHistory& history, std::size_t count, int columns) {
    ChartLines lines;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const auto member = kChartedCounts[k];
        for (const std::size_t i :
             keptEntries(count, columns, [&](std::size_t i) { return history[i].*member; }))
            lines[k].push_back(ChartPoint{history[i].cycle, history[i].*member});
    }
    return lines;
}

}  // namespace kesmir
