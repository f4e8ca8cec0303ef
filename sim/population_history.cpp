#include "sim/population_history.h"

namespace kesmir {

PopulationHistory populationHistory;

void PopulationHistory::append(const PopulationCounts& counts) {
    const std::size_t n = size_.load(std::memory_order_relaxed);
    const std::size_t block = n / kBlockSize;
    if (block >= kBlocks) return;
    if (!blocks_[block]) blocks_[block] = std::make_unique<PopulationCounts[]>(kBlockSize);
    blocks_[block][n % kBlockSize] = counts;
    size_.store(n + 1, std::memory_order_release);
}

void PopulationHistory::clear() {
    size_.store(0, std::memory_order_relaxed);
    for (auto& block : blocks_)
        block.reset();
}

}  // namespace kesmir
