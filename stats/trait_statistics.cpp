#include "stats/trait_statistics.h"

#include <cmath>

#include "world/format.h"

namespace kesmir {

namespace {

// The smallest v whose cumulative count c satisfies c * denominator >=
// total * numerator: whole numbers, so no share is rounded.
int percentile(const TraitCounts& counts, int field, int64_t total, int64_t numerator,
               int64_t denominator) {
    int64_t cumulative = 0;
    const int values = kTraitFields[field].values();
    for (int v = 0; v < values; ++v) {
        cumulative += counts.at(field, v);
        if (cumulative * denominator >= total * numerator) return v;
    }
    return values - 1;
}

void appendPrefix(std::string& out, const TraitCounts& counts, int field) {
    const TraitField& f = kTraitFields[field];
    appendFormatted(out, "%d,%s,%s,", int(counts.cycle), kKindNames[int(f.kind)], f.trait);
}

}  // namespace

TraitStatistics statisticsOf(const TraitCounts& counts, int field) {
    TraitStatistics s;
    const int values = kTraitFields[field].values();
    int64_t sum = 0, squares = 0;
    s.min = -1;
    for (int v = 0; v < values; ++v) {
        const int64_t c = counts.at(field, v);
        if (c == 0) continue;
        if (s.min < 0) s.min = v;
        s.max = v;
        s.count += c;
        sum += c * v;
        squares += c * v * v;
    }
    if (s.count == 0) return TraitStatistics{};
    // n * sum(v^2) - sum(v)^2 is exact: n < 2^24 and v < 2^6.
    const int64_t spread = s.count * squares - sum * sum;
    s.mean = double(sum) / double(s.count);
    s.sd = std::sqrt(double(spread) / (double(s.count) * double(s.count)));
    s.p10 = percentile(counts, field, s.count, 1, 10);
    s.median = percentile(counts, field, s.count, 1, 2);
    s.p90 = percentile(counts, field, s.count, 9, 10);
    return s;
}

std::string traitRows(const TraitCounts& counts) {
    std::string out;
    for (int field = 0; field < kTraitFieldCount; ++field) {
        appendPrefix(out, counts, field);
        const TraitStatistics s = statisticsOf(counts, field);
        if (s.count == 0) {
            out += "0,,,,,,,\n";
            continue;
        }
        appendFormatted(out, "%lld,%.17g,%.17g,%d,%d,%d,%d,%d\n", static_cast<long long>(s.count),
                        s.mean, s.sd, s.min, s.p10, s.median, s.p90, s.max);
    }
    return out;
}

std::string histogramRows(const TraitCounts& counts) {
    std::string out;
    for (int field = 0; field < kTraitFieldCount; ++field) {
        for (int v = 0; v < kTraitFields[field].values(); ++v) {
            const uint32_t c = counts.at(field, v);
            if (c == 0) continue;
            appendPrefix(out, counts, field);
            appendFormatted(out, "%d,%u\n", v, unsigned(c));
        }
    }
    return out;
}

}  // namespace kesmir
