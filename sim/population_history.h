// Every cycle's population counts since the start, the numbers the cycle
// writes to "dt.dat", kept in memory for the population chart.
//
// The simulation thread appends; any thread may read. Entries never move and
// never change once appended: they live in blocks that are allocated as the
// history grows and never freed while it runs, and a reader sees an entry
// only after size() (an acquire load) has counted it. Appending costs a
// store and a release store, plus one allocation every 65,536 cycles.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kesmir {

struct PopulationCounts {
    int32_t cycle = 0;
    int32_t plants = 0;
    int32_t herbivores = 0;
    int32_t carnivores = 0;
};

class PopulationHistory {
  public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 16;
    static constexpr std::size_t kBlocks = std::size_t{1} << 15;  // 2^31 entries in all

    // Simulation thread only. Past the last block's end entries are dropped.
    void append(const PopulationCounts& counts);

    // The number of entries a reader may look at.
    std::size_t size() const { return size_.load(std::memory_order_acquire); }

    // Entry `i`, for i < a size() this thread has read.
    const PopulationCounts& operator[](std::size_t i) const {
        return blocks_[i / kBlockSize][i % kBlockSize];
    }

    // Forgets every entry. Only while no other thread reads the history.
    void clear();

  private:
    std::array<std::unique_ptr<PopulationCounts[]>, kBlocks> blocks_;
    std::atomic<std::size_t> size_{0};
};

extern PopulationHistory populationHistory;

}  // namespace kesmir
