// Every counted sample's bins since the start, kept in a bounded, reduced
// form for the heat map: at most kColumns columns, each the sum of the bins
// (and of the kinds' organisms) of a run of consecutive samples. All columns
// but the last hold samplesPerColumn() samples. When a sample would need one
// column more, neighbouring columns are merged in pairs and each column
// takes twice as many samples from then on, so a run of any length takes
// the same memory (about 14 MB) and is shown at least kColumns / 2 columns
// wide.
//
// The simulation thread adds; any thread may copy one field's columns. A
// copy sees no half-added sample nor half-merged columns: the writer counts
// a sequence number up before and after every change (odd while changing),
// and a reader whose copy spanned a change copies again. Every value is read
// and written atomically, so a copy that overlaps a change is well-defined,
// only discarded.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "stats/trait_counts.h"

namespace kesmir {

struct DistributionColumn {
    int32_t firstCycle = 0;
    int32_t lastCycle = 0;
    uint32_t samples = 0;
    std::array<uint64_t, kKinds> organisms{};  // summed over the column's samples
};

// What a reader copies of one field.
struct FieldDistribution {
    int values = 0;
    std::vector<DistributionColumn> columns;
    std::vector<uint64_t> counts;  // values per column, column after column

    uint64_t count(std::size_t column, int value) const {
        return counts[column * std::size_t(values) + std::size_t(value)];
    }
};

// The whole of it, for checkpoints: bins holds kTraitBins per column.
struct DistributionState {
    uint32_t samplesPerColumn = 1;
    std::vector<DistributionColumn> columns;
    std::vector<uint64_t> bins;
};

class TraitDistributions {
  public:
    static constexpr int kColumns = 2048;

    TraitDistributions();
    ~TraitDistributions();
    TraitDistributions(const TraitDistributions&) = delete;
    TraitDistributions& operator=(const TraitDistributions&) = delete;

    // Simulation thread only.
    void add(const TraitCounts& counts);

    // Any thread: the columns of field `field` as they stand after some add.
    FieldDistribution field(int field) const;

    // The simulation thread, or any thread while nothing adds.
    DistributionState state() const;
    // Only while no other thread reads; `state` must be sound (columns at
    // most kColumns, bins kTraitBins per column).
    void restore(const DistributionState& state);
    void clear();

  private:
    struct Column {
        std::atomic<int32_t> firstCycle{0};
        std::atomic<int32_t> lastCycle{0};
        std::atomic<uint32_t> samples{0};
        std::array<std::atomic<uint64_t>, kKinds> organisms{};
    };

    void beginChange();
    void endChange();
    void mergePairs();
    void zeroColumn(int column);
    DistributionColumn columnAt(int column) const;
    uint64_t* binsOf(int column) const { return bins_ + std::size_t(column) * kTraitBins; }

    std::unique_ptr<Column[]> columns_;
    uint64_t* bins_;  // reserved for every column at once; pages are taken as columns fill
    std::atomic<int> used_{0};
    std::atomic<uint32_t> samplesPerColumn_{1};
    std::atomic<uint32_t> sequence_{0};
};

}  // namespace kesmir
