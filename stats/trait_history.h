// The trait counts of every sample since the start, as the "Evolution"
// window reads them and checkpoints keep them: each sample's exact sums of
// every field's values (its means, for the lines), and the distributions
// reduced for the heat map. The simulation thread adds; any thread reads.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "stats/growing_history.h"
#include "stats/trait_counts.h"
#include "stats/trait_distributions.h"

namespace kesmir {

// 176 bytes: 100,000 samples take about 17 MB.
struct TraitSample {
    int32_t cycle = 0;
    std::array<int32_t, kKinds> organisms{};
    std::array<uint32_t, kTraitFieldCount> sums{};  // of each field's v over its kind

    // The field's mean v; NaN when its kind has no organisms. Inline: the
    // charts take it of every sample of a long run at every redraw.
    double mean(int field) const {
        const int32_t n = organisms[std::size_t(kTraitFields[std::size_t(field)].kind)];
        return n == 0 ? std::numeric_limits<double>::quiet_NaN()
                      : double(sums[std::size_t(field)]) / double(n);
    }
};

TraitSample sampleOf(const TraitCounts& counts);

// Up to 2^31 samples, in blocks of 16,384 (2.9 MB).
class TraitSamples
    : public GrowingHistory<TraitSample, std::size_t{1} << 14, std::size_t{1} << 17> {};

class TraitHistory {
  public:
    TraitSamples samples;
    TraitDistributions distributions;

    // Simulation thread only. A sample of a cycle not after the last one
    // kept is dropped (a resumed run counts its checkpoint's cycle again).
    void add(const TraitCounts& counts);

    // Only while no other thread reads.
    void clear();
};

extern TraitHistory traitHistory;

}  // namespace kesmir
