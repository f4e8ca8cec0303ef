#include "sim/trait_tally.h"

#include <algorithm>

#include "world/lists.h"

namespace kesmir {

TraitTally traitTally;

void TraitTally::follow(const TraitCounts& counts) {
    counts_ = counts;
    known_ = true;
}

void TraitTally::forget() {
    known_ = false;
    counting_ = false;
}

void TraitTally::open(int32_t cycle) {
    counting_ = known_ && counts_.cycle == cycle;
    known_ = false;  // until the changes are applied
    pieces_.fill(-1);
}

TraitBins* TraitTally::prepare(Stage stage, int32_t pieces) {
    if (!counting_) return nullptr;
    std::vector<TraitBins>& bins = bins_[stage];
    if (bins.size() < std::size_t(pieces)) bins.resize(std::size_t(pieces));
    pieces_[stage] = pieces;
    return bins.data();
}

void TraitTally::close(int32_t plants, int32_t herbivores, int32_t carnivores) {
    const bool complete =
        counting_ && std::ranges::none_of(pieces_, [](int32_t p) { return p < 0; });
    counting_ = false;
    if (!complete) return;
    for (int stage = 0; stage < stages; ++stage) {
        const bool births = stage >= plantBirths;
        for (int32_t piece = 0; piece < pieces_[stage]; ++piece) {
            const TraitBins& changes = bins_[stage][std::size_t(piece)];
            for (int bin = 0; bin < kTraitBins; ++bin) {
                if (births)
                    counts_.bins[std::size_t(bin)] += changes[std::size_t(bin)];
                else
                    counts_.bins[std::size_t(bin)] -= changes[std::size_t(bin)];
            }
        }
    }
    counts_.cycle += 1;
    counts_.organisms = {plants, herbivores, carnivores};
    known_ = true;
}

const TraitCounts* TraitTally::counted(int32_t cycle) const {
    const bool current = known_ && counts_.cycle == cycle &&
                         counts_.organisms == std::array<int32_t, kKinds>{Ppop, Hpop, Cpop};
    return current ? &counts_ : nullptr;
}

}  // namespace kesmir
