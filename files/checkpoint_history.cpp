#include "files/checkpoint_history.h"

#include <vector>

#include "files/checkpoint_world.h"
#include "stats/population_history.h"
#include "stats/trait_history.h"
#include "world/lists.h"

namespace kesmir {

namespace {

// Columns of 8-byte values: the low halves, then the high halves.
void writeWide(CompressedWriter& out, std::size_t count, const auto& get) {
    out.column(count, [&](std::size_t i) { return uint32_t(get(i)); });
    out.column(count, [&](std::size_t i) { return uint32_t(get(i) >> 32); });
}

bool readWide(CompressedReader& in, std::size_t count, const auto& put) {
    std::vector<uint32_t> low(count);
    if (!in.column<uint32_t>(count, [&](std::size_t i, uint32_t v) {
            low[i] = v;
            return true;
        }))
        return false;
    return in.column<uint32_t>(count, [&](std::size_t i, uint32_t high) {
        put(i, uint64_t{high} << 32 | low[i]);
        return true;
    });
}

// Reads the first column of a list of `count` entries, the cycles, a block at
// a time: a count the stream does not hold fails when the data runs out,
// rather than by reserving memory for it first. Then makes that many entries.
template <class Entry>
bool readCycles(CompressedReader& in, std::size_t count, std::vector<Entry>& entries) {
    std::vector<int32_t> cycles;
    for (std::size_t first = 0; first < count; first += kPlaneBlock) {
        const std::size_t n = std::min(kPlaneBlock, count - first);
        if (!in.column<int32_t>(n, [&](std::size_t, int32_t cycle) {
                cycles.push_back(cycle);
                return true;
            }))
            return false;
    }
    entries.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        entries[i].cycle = cycles[i];
    return true;
}

// Reads a column of 4-byte values into member `member` of every entry.
template <class Entry, class T>
bool readMember(CompressedReader& in, std::vector<Entry>& entries, T Entry::*member) {
    return in.column<T>(entries.size(), [&](std::size_t i, T v) {
        entries[i].*member = v;
        return true;
    });
}

template <class Get>
bool readEach(CompressedReader& in, std::size_t count, Get get) {
    using T = std::remove_reference_t<decltype(get(std::size_t{0}))>;
    return in.column<T>(count, [&](std::size_t i, T v) {
        get(i) = v;
        return true;
    });
}

bool fail(std::string& error, const char* what) {
    error = std::string("its history ") + what;
    return false;
}

bool validCount(int64_t organisms) {
    return organisms >= 0 && organisms <= kListCapacity;
}

// At most one entry per cycle, in order, none after the checkpoint's cycle.
template <class Entries>
bool cyclesInOrder(const Entries& entries, int32_t cycle) {
    int64_t previous = -1;
    for (const auto& entry : entries) {
        if (entry.cycle <= previous || entry.cycle > cycle) return false;
        previous = entry.cycle;
    }
    return true;
}

bool readPopulation(CompressedReader& in, int32_t cycle, std::vector<PopulationCounts>& entries,
                    std::string& error) {
    uint32_t count = 0;
    if (!in.value(count)) return false;
    if (int64_t{count} > int64_t{cycle} + 1)
        return fail(error, "holds more population counts than cycles");
    if (!readCycles(in, count, entries) || !readMember(in, entries, &PopulationCounts::plants) ||
        !readMember(in, entries, &PopulationCounts::herbivores) ||
        !readMember(in, entries, &PopulationCounts::carnivores))
        return false;
    if (!cyclesInOrder(entries, cycle)) return fail(error, "has population counts out of order");
    for (const PopulationCounts& e : entries)
        if (!validCount(e.plants) || !validCount(e.herbivores) || !validCount(e.carnivores))
            return fail(error, "has a population count out of range");
    return true;
}

bool readSamples(CompressedReader& in, int32_t cycle, std::vector<TraitSample>& samples,
                 std::string& error) {
    uint32_t count = 0;
    if (!in.value(count)) return false;
    if (int64_t{count} > int64_t{cycle} + 1)
        return fail(error, "holds more trait samples than cycles");
    if (!readCycles(in, count, samples)) return false;
    for (int k = 0; k < kKinds; ++k)
        if (!readEach(in, count,
                      [&](std::size_t i) -> int32_t& { return samples[i].organisms[k]; }))
            return false;
    for (int f = 0; f < kTraitFieldCount; ++f)
        if (!readEach(in, count, [&](std::size_t i) -> uint32_t& { return samples[i].sums[f]; }))
            return false;
    if (!cyclesInOrder(samples, cycle)) return fail(error, "has trait samples out of order");
    for (const TraitSample& s : samples) {
        for (int32_t organisms : s.organisms)
            if (!validCount(organisms)) return fail(error, "has a trait sample out of range");
        for (int f = 0; f < kTraitFieldCount; ++f) {
            const int64_t most =
                int64_t{s.organisms[int(kTraitFields[f].kind)]} * (kTraitFields[f].values() - 1);
            if (s.sums[f] > most) return fail(error, "has a trait sample out of range");
        }
    }
    return true;
}

// Every column full but the last, the columns' cycles in order and covering
// exactly the samples, and every field's bins adding up to its kind.
bool soundDistributions(const DistributionState& d, const std::vector<TraitSample>& samples) {
    const std::size_t columns = d.columns.size();
    if (columns == 0) return samples.empty();
    if (samples.empty()) return false;
    uint64_t total = 0;
    int64_t previous = -1;
    for (std::size_t c = 0; c < columns; ++c) {
        const DistributionColumn& column = d.columns[c];
        const bool last = c + 1 == columns;
        if (column.samples == 0 || column.samples > d.samplesPerColumn ||
            (!last && column.samples != d.samplesPerColumn))
            return false;
        if (column.firstCycle <= previous || column.lastCycle < column.firstCycle) return false;
        previous = column.lastCycle;
        total += column.samples;
        for (int k = 0; k < kKinds; ++k)
            if (column.organisms[k] > uint64_t{column.samples} * kListCapacity) return false;
        const uint64_t* bins = d.bins.data() + c * kTraitBins;
        for (int f = 0; f < kTraitFieldCount; ++f) {
            uint64_t sum = 0;
            for (int v = 0; v < kTraitFields[f].values(); ++v)
                sum += bins[binOffset(f) + v];
            if (sum != column.organisms[int(kTraitFields[f].kind)]) return false;
        }
    }
    return total == samples.size() && d.columns.front().firstCycle == samples.front().cycle &&
           d.columns.back().lastCycle == samples.back().cycle;
}

bool readDistributions(CompressedReader& in, const std::vector<TraitSample>& samples,
                       DistributionState& d, std::string& error) {
    uint32_t columns = 0;
    if (!in.value(d.samplesPerColumn) || !in.value(columns)) return false;
    const bool powerOfTwo =
        d.samplesPerColumn != 0 && (d.samplesPerColumn & (d.samplesPerColumn - 1)) == 0;
    if (!powerOfTwo || columns > uint32_t(TraitDistributions::kColumns))
        return fail(error, "has a heat map of the wrong shape");
    d.columns.resize(columns);
    d.bins.resize(std::size_t(columns) * kTraitBins);
    if (!readMember(in, d.columns, &DistributionColumn::firstCycle) ||
        !readMember(in, d.columns, &DistributionColumn::lastCycle) ||
        !readMember(in, d.columns, &DistributionColumn::samples))
        return false;
    for (int k = 0; k < kKinds; ++k)
        if (!readWide(in, columns,
                      [&](std::size_t c, uint64_t v) { d.columns[c].organisms[k] = v; }))
            return false;
    if (!readWide(in, d.bins.size(), [&](std::size_t i, uint64_t v) { d.bins[i] = v; }))
        return false;
    if (!soundDistributions(d, samples))
        return fail(error, "has a heat map that does not match its samples");
    return true;
}

}  // namespace

void writeHistories(CompressedWriter& out) {
    const PopulationHistory& population = populationHistory;
    const std::size_t entries = population.size();
    out.value(uint32_t(entries));
    out.column(entries, [&](std::size_t i) { return population[i].cycle; });
    out.column(entries, [&](std::size_t i) { return population[i].plants; });
    out.column(entries, [&](std::size_t i) { return population[i].herbivores; });
    out.column(entries, [&](std::size_t i) { return population[i].carnivores; });

    const TraitSamples& samples = traitHistory.samples;
    const std::size_t count = samples.size();
    out.value(uint32_t(count));
    out.column(count, [&](std::size_t i) { return samples[i].cycle; });
    for (int k = 0; k < kKinds; ++k)
        out.column(count, [&](std::size_t i) { return samples[i].organisms[k]; });
    for (int f = 0; f < kTraitFieldCount; ++f)
        out.column(count, [&](std::size_t i) { return samples[i].sums[f]; });

    const DistributionState d = traitHistory.distributions.state();
    const std::size_t columns = d.columns.size();
    out.value(d.samplesPerColumn);
    out.value(uint32_t(columns));
    out.column(columns, [&](std::size_t c) { return d.columns[c].firstCycle; });
    out.column(columns, [&](std::size_t c) { return d.columns[c].lastCycle; });
    out.column(columns, [&](std::size_t c) { return d.columns[c].samples; });
    for (int k = 0; k < kKinds; ++k)
        writeWide(out, columns, [&](std::size_t c) { return d.columns[c].organisms[k]; });
    writeWide(out, d.bins.size(), [&](std::size_t i) { return d.bins[i]; });
}

bool readHistories(CompressedReader& in, int32_t cycle, std::string& error) {
    error.clear();
    std::vector<PopulationCounts> population;
    std::vector<TraitSample> samples;
    DistributionState distributions;
    if (!readPopulation(in, cycle, population, error) || !readSamples(in, cycle, samples, error) ||
        !readDistributions(in, samples, distributions, error))
        return false;
    clearHistories();
    for (const PopulationCounts& counts : population)
        populationHistory.append(counts);
    for (const TraitSample& sample : samples)
        traitHistory.samples.append(sample);
    traitHistory.distributions.restore(distributions);
    return true;
}

std::uint64_t largestHistoryBytes() {
    constexpr std::uint64_t kCycles = std::uint64_t{kLatestStoredCycle} + 1;
    constexpr std::uint64_t kPopulationEntry = 4 * 4;  // cycle, three counts
    constexpr std::uint64_t kTraitSample = 4 + kKinds * 4 + kTraitFieldCount * 4;
    constexpr std::uint64_t kColumns = TraitDistributions::kColumns;
    constexpr std::uint64_t kColumnHead = 4 + 4 + 4 + kKinds * 8;  // cycles, samples, organisms
    const std::uint64_t counts = 3 * 4 + 4;  // entry and sample counts, samples per column, columns
    return counts + kCycles * (kPopulationEntry + kTraitSample) +
           kColumns * (kColumnHead + std::uint64_t{kTraitBins} * 8);
}

void clearHistories() {
    populationHistory.clear();
    traitHistory.clear();
}

}  // namespace kesmir
