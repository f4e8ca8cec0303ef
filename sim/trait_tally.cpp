#include "sim/trait_tally.h"

#include <algorithm>

namespace kesmir {

TraitTally traitTally;

void TraitTally::open(bool due, int32_t next) {
    counting_ = due;
    next_ = next;
    ready_ = false;
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
    sum_.cycle = next_;
    sum_.organisms = {plants, herbivores, carnivores};
    sum_.bins.fill(0);
    for (int stage = 0; stage < stages; ++stage)
        for (int32_t piece = 0; piece < pieces_[stage]; ++piece)
            for (int bin = 0; bin < kTraitBins; ++bin)
                sum_.bins[std::size_t(bin)] += bins_[stage][std::size_t(piece)][std::size_t(bin)];
    ready_ = true;
}

const TraitCounts* TraitTally::counted(int32_t cycle) const {
    return ready_ && next_ == cycle ? &sum_ : nullptr;
}

}  // namespace kesmir
