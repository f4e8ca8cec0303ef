// Trait counts folded into culling and insertion. When the next cycle's
// counts are due, every piece of `cull` and `addNew` counts the records it
// copies into the next lists, in bins of its own, while it holds them
// anyway: no pass of its own has to read millions of records again. At the
// next cycle's status line `sampleTraits` takes the sum. Counts are whole
// numbers, so the pieces may be counted on any thread and added in any order.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "stats/trait_counts.h"

namespace kesmir {

class TraitTally {
  public:
    enum Stage {
        plantSurvivors,
        herbivoreSurvivors,
        carnivoreSurvivors,
        plantNewborns,
        herbivoreNewborns,
        carnivoreNewborns,
        stages
    };

    // Before culling: count the copies for cycle `next` when `due`. Any
    // earlier sum is forgotten.
    void open(bool due, int32_t next);
    // Bins for every piece of `stage` (one TraitBins per piece), or nullptr
    // when not counting. Simulation thread, before the pieces run.
    TraitBins* prepare(Stage stage, int32_t pieces);
    // After insertion, with the next lists' counts: sums the pieces when
    // every stage was counted.
    void close(int32_t plants, int32_t herbivores, int32_t carnivores);

    // The counts of cycle `cycle`, when the last cull and insertion took them.
    const TraitCounts* counted(int32_t cycle) const;

  private:
    bool counting_ = false;
    int32_t next_ = -1;
    std::array<std::vector<TraitBins>, stages> bins_;
    std::array<int32_t, stages> pieces_{};  // -1: not prepared
    bool ready_ = false;
    TraitCounts sum_;
};

extern TraitTally traitTally;

// Calls work(count), where count(record) counts a record of `kind` into
// `*bins` (zeroed first), or does nothing when `bins` is null.
template <class Record, class Work>
void withTraitCounter(Kind kind, TraitBins* bins, Work work) {
    if (bins == nullptr) return work([](const Record&) {});
    bins->fill(0);
    if constexpr (std::is_same_v<Record, plant>) {
        countingInto<Kind::plant>(*bins, work);
    } else if (kind == Kind::herbivore) {
        countingInto<Kind::herbivore>(*bins, work);
    } else {
        countingInto<Kind::carnivore>(*bins, work);
    }
}

}  // namespace kesmir
