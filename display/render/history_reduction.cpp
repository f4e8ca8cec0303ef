#include "display/render/history_reduction.h"

#include <algorithm>

namespace kesmir {

ChartLines reduceHistory(const PopulationHistory& history, std::size_t count, int columns) {
    ChartLines lines;
    const std::size_t runs = std::size_t(std::max(columns, 1));
    const bool every = count <= 2 * runs;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        std::vector<ChartPoint>& line = lines[k];
        const auto member = kChartedCounts[k];
        const auto point = [&](std::size_t i) {
            return ChartPoint{history[i].cycle, history[i].*member};
        };
        if (every) {
            for (std::size_t i = 0; i < count; ++i)
                line.push_back(point(i));
            continue;
        }
        line.reserve(2 * runs);
        for (std::size_t run = 0; run < runs; ++run) {
            const std::size_t begin = run * count / runs;
            const std::size_t end = (run + 1) * count / runs;
            std::size_t lowest = begin, highest = begin;
            for (std::size_t i = begin + 1; i < end; ++i) {
                if (history[i].*member < history[lowest].*member) lowest = i;
                if (history[i].*member > history[highest].*member) highest = i;
            }
            const std::size_t earlier = std::min(lowest, highest);
            const std::size_t later = std::max(lowest, highest);
            if (run == 0 && earlier != 0) line.push_back(point(0));
            line.push_back(point(earlier));
            if (later != earlier) line.push_back(point(later));
            if (run + 1 == runs && later != count - 1) line.push_back(point(count - 1));
        }
    }
    return lines;
}

}  // namespace kesmir
