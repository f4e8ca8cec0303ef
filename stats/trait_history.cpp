#include "stats/trait_history.h"

namespace kesmir {

TraitHistory traitHistory;

TraitSample sampleOf(const TraitCounts& counts) {
    TraitSample sample;
    sample.cycle = counts.cycle;
    sample.organisms = counts.organisms;
    for (int f = 0; f < kTraitFieldCount; ++f) {
        uint32_t sum = 0;
        for (int v = 1; v < kTraitFields[f].values(); ++v)
            sum += uint32_t(v) * counts.at(f, v);
        sample.sums[std::size_t(f)] = sum;
    }
    return sample;
}

void TraitHistory::add(const TraitCounts& counts) {
    const std::size_t n = samples.size();
    if (n > 0 && samples[n - 1].cycle >= counts.cycle) return;
    samples.append(sampleOf(counts));
    distributions.add(counts);
}

void TraitHistory::clear() {
    samples.clear();
    distributions.clear();
}

}  // namespace kesmir
