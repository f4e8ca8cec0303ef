// Trait counts kept up to date by culling and insertion. Once a cycle's
// counts have been taken in full, each cull counts the records it drops and
// each insertion the newborns it appends, every piece in bins of its own,
// while they hold those records anyway; the next cycle's counts are the last
// ones less the dropped and plus the newborn. A cycle then costs counting
// its deaths and births, a small share of the population, rather than a
// pass over millions of records. Counts are whole numbers, so the pieces may
// be counted on any thread and added in any order, and the counts kept this
// way are exactly those of a full count.
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
        plantDeaths,
        herbivoreDeaths,
        carnivoreDeaths,
        plantBirths,
        herbivoreBirths,
        carnivoreBirths,
        stages
    };

    // The full counts of a cycle's current lists, to keep up to date from
    // now on.
    void follow(const TraitCounts& counts);
    // Stops keeping them.
    void forget();

    // Before culling at cycle `cycle`: the changes are counted when the
    // counts of `cycle` are known.
    void open(int32_t cycle);
    // Bins for every piece of `stage` (one TraitBins per piece), or nullptr
    // when not counting. Simulation thread, before the pieces run.
    TraitBins* prepare(Stage stage, int32_t pieces);
    // After insertion, with the next lists' sizes: applies the changes when
    // every stage was counted (else the counts are no longer known).
    void close(int32_t plants, int32_t herbivores, int32_t carnivores);

    // The counts of cycle `cycle`, when known and of lists of the current
    // sizes (lists changed by other means than a cycle are counted afresh).
    const TraitCounts* counted(int32_t cycle) const;

  private:
    bool known_ = false;
    bool counting_ = false;
    TraitCounts counts_;
    std::array<std::vector<TraitBins>, stages> bins_;
    std::array<int32_t, stages> pieces_{};  // -1: not prepared
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
