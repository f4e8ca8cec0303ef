// Statistics of one counted field over a kind's organisms, and the rows of
// "traits.csv" and "histograms.csv" that print them.
#pragma once

#include <cstdint>
#include <string>

#include "stats/trait_counts.h"

namespace kesmir {

struct TraitStatistics {
    int64_t count = 0;  // organisms of the kind
    double mean = 0;
    double sd = 0;  // of the whole kind: the squared deviations divided by count
    int min = 0;
    int p10 = 0;  // each percentile is the smallest v whose cumulative count reaches its share
    int median = 0;
    int p90 = 0;
    int max = 0;
};

// From the exact sums of v and v^2 over the field's bins; all zero when the
// kind has no organisms.
TraitStatistics statisticsOf(const TraitCounts& counts, int field);

inline constexpr const char* kTraitsHeader =
    "cycle,kind,trait,count,mean,sd,min,p10,median,p90,max\n";
inline constexpr const char* kHistogramsHeader = "cycle,kind,trait,value,count\n";

// One row per counted field: an empty kind gives count 0 and empty fields.
// The mean and sd are printed with 17 significant digits, enough to read
// back the very double they came from.
std::string traitRows(const TraitCounts& counts);

// One row per field and value that at least one organism holds.
std::string histogramRows(const TraitCounts& counts);

}  // namespace kesmir
