// Trait counts of the whole population, taken at the moment of the status
// line and the "dt.dat" line, before the cycle's steps: every --traits-every
// cycles (from cycle 0) for the trait history and "traits.csv", and every
// --histograms-every cycles for "histograms.csv".
#pragma once

#include <cstdint>

#include "stats/trait_counts.h"

namespace kesmir {

inline constexpr const char* kTraitsFile = "traits.csv";
inline constexpr const char* kHistogramsFile = "histograms.csv";

// Keeping the counts of every field of every kind up to date costs about
// 1.5% of a cycle of the default world on two threads (a pass of its own
// over the lists would cost about 3.5%; bench/traits_bench), within the 3%
// that allows counting every cycle by default.
inline constexpr int32_t kDefaultTraitsEvery = 1;

struct TraitSettings {
    int32_t traitsEvery = kDefaultTraitsEvery;  // 0: never
    int32_t histogramsEvery = 0;                // 0: never
};

extern TraitSettings traitSettings;

// Empties the files the settings will write (and leaves alone those they
// never write), as "dt.dat" is emptied when the run starts.
void startTraitFiles();

// When a count is due at cycle kk: takes the counts that culling and
// insertion keep up to date (or, at a run's first count, counts the lists in
// full and has them kept from then on), keeps them in the trait history,
// and appends the rows due.
void sampleTraits();

// Counts every field over the current lists, on the simulation's threads.
TraitCounts countTraits();

}  // namespace kesmir
