#include "stats/trait_distributions.h"

#include <thread>

#include "world/lazy_memory.h"
#include "world/shared_access.h"

namespace kesmir {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// One writer: no read-modify-write needed.
template <class T>
void addTo(std::atomic<T>& to, T value) {
    to.store(to.load(kRelaxed) + value, kRelaxed);
}

void addTo(uint64_t& to, uint64_t value) {
    relaxedStore(to, relaxedLoad(to) + value);
}

}  // namespace

constexpr std::size_t kBinBytes = std::size_t(TraitDistributions::kColumns) * kTraitBins * 8;

TraitDistributions::TraitDistributions()
    : columns_(std::make_unique<Column[]>(kColumns)),
      bins_(static_cast<uint64_t*>(reserveZeroed(kBinBytes, "the trait history"))) {}

TraitDistributions::~TraitDistributions() {
    freeReserved(bins_, kBinBytes);
}

void TraitDistributions::beginChange() {
    sequence_.store(sequence_.load(kRelaxed) + 1, kRelaxed);
    std::atomic_thread_fence(std::memory_order_release);
}

void TraitDistributions::endChange() {
    sequence_.store(sequence_.load(kRelaxed) + 1, std::memory_order_release);
}

void TraitDistributions::zeroColumn(int c) {
    Column& column = columns_[c];
    column.firstCycle.store(0, kRelaxed);
    column.lastCycle.store(0, kRelaxed);
    column.samples.store(0, kRelaxed);
    for (auto& organisms : column.organisms)
        organisms.store(0, kRelaxed);
    uint64_t* bins = binsOf(c);
    for (int bin = 0; bin < kTraitBins; ++bin)
        relaxedStore(bins[bin], uint64_t{0});
}

// Columns 2j and 2j + 1 become column j; column j is written only after
// columns 2j and 2j + 1 have been read.
void TraitDistributions::mergePairs() {
    const int used = used_.load(kRelaxed);
    for (int j = 0; j < used / 2; ++j) {
        Column& to = columns_[j];
        const Column& a = columns_[2 * j];
        const Column& b = columns_[2 * j + 1];
        to.firstCycle.store(a.firstCycle.load(kRelaxed), kRelaxed);
        to.lastCycle.store(b.lastCycle.load(kRelaxed), kRelaxed);
        to.samples.store(a.samples.load(kRelaxed) + b.samples.load(kRelaxed), kRelaxed);
        for (int k = 0; k < kKinds; ++k)
            to.organisms[k].store(a.organisms[k].load(kRelaxed) + b.organisms[k].load(kRelaxed),
                                  kRelaxed);
        uint64_t* into = binsOf(j);
        const uint64_t* first = binsOf(2 * j);
        const uint64_t* second = binsOf(2 * j + 1);
        for (int bin = 0; bin < kTraitBins; ++bin)
            relaxedStore(into[bin], relaxedLoad(first[bin]) + relaxedLoad(second[bin]));
    }
    for (int c = used / 2; c < used; ++c)
        zeroColumn(c);
    used_.store(used / 2, kRelaxed);
    samplesPerColumn_.store(samplesPerColumn_.load(kRelaxed) * 2, kRelaxed);
}

void TraitDistributions::add(const TraitCounts& counts) {
    beginChange();
    int used = used_.load(kRelaxed);
    const uint32_t perColumn = samplesPerColumn_.load(kRelaxed);
    const bool lastHasRoom = used > 0 && columns_[used - 1].samples.load(kRelaxed) < perColumn;
    if (!lastHasRoom) {
        if (used == kColumns) mergePairs();
        used = used_.load(kRelaxed) + 1;
        columns_[used - 1].firstCycle.store(counts.cycle, kRelaxed);
        used_.store(used, kRelaxed);
    }
    Column& column = columns_[used - 1];
    column.lastCycle.store(counts.cycle, kRelaxed);
    addTo(column.samples, 1u);
    for (int k = 0; k < kKinds; ++k)
        addTo(column.organisms[k], uint64_t(counts.organisms[k]));
    uint64_t* bins = binsOf(used - 1);
    for (int bin = 0; bin < kTraitBins; ++bin)
        if (counts.bins[bin] != 0) addTo(bins[bin], uint64_t(counts.bins[bin]));
    endChange();
}

DistributionColumn TraitDistributions::columnAt(int c) const {
    const Column& from = columns_[c];
    DistributionColumn to;
    to.firstCycle = from.firstCycle.load(kRelaxed);
    to.lastCycle = from.lastCycle.load(kRelaxed);
    to.samples = from.samples.load(kRelaxed);
    for (int k = 0; k < kKinds; ++k)
        to.organisms[k] = from.organisms[k].load(kRelaxed);
    return to;
}

FieldDistribution TraitDistributions::field(int field) const {
    FieldDistribution copy;
    copy.values = kTraitFields[field].values();
    const int offset = binOffset(field);
    for (;;) {
        const uint32_t before = sequence_.load(std::memory_order_acquire);
        if (before % 2 == 1) {
            std::this_thread::yield();
            continue;
        }
        const int used = used_.load(kRelaxed);
        copy.columns.resize(std::size_t(used));
        copy.counts.resize(std::size_t(used) * std::size_t(copy.values));
        for (int c = 0; c < used; ++c) {
            copy.columns[std::size_t(c)] = columnAt(c);
            const uint64_t* bins = binsOf(c) + offset;
            for (int v = 0; v < copy.values; ++v)
                copy.counts[std::size_t(c) * std::size_t(copy.values) + std::size_t(v)] =
                    relaxedLoad(bins[v]);
        }
        std::atomic_thread_fence(std::memory_order_acquire);
        if (sequence_.load(kRelaxed) == before) return copy;
    }
}

DistributionState TraitDistributions::state() const {
    DistributionState s;
    s.samplesPerColumn = samplesPerColumn_.load(kRelaxed);
    const int used = used_.load(kRelaxed);
    s.columns.resize(std::size_t(used));
    s.bins.resize(std::size_t(used) * kTraitBins);
    for (int c = 0; c < used; ++c) {
        s.columns[std::size_t(c)] = columnAt(c);
        const uint64_t* bins = binsOf(c);
        for (int bin = 0; bin < kTraitBins; ++bin)
            s.bins[std::size_t(c) * kTraitBins + std::size_t(bin)] = relaxedLoad(bins[bin]);
    }
    return s;
}

void TraitDistributions::restore(const DistributionState& state) {
    clear();
    const int used = int(state.columns.size());
    for (int c = 0; c < used; ++c) {
        const DistributionColumn& from = state.columns[std::size_t(c)];
        Column& to = columns_[c];
        to.firstCycle.store(from.firstCycle, kRelaxed);
        to.lastCycle.store(from.lastCycle, kRelaxed);
        to.samples.store(from.samples, kRelaxed);
        for (int k = 0; k < kKinds; ++k)
            to.organisms[k].store(from.organisms[k], kRelaxed);
        uint64_t* bins = binsOf(c);
        for (int bin = 0; bin < kTraitBins; ++bin)
            relaxedStore(bins[bin], state.bins[std::size_t(c) * kTraitBins + std::size_t(bin)]);
    }
    samplesPerColumn_.store(state.samplesPerColumn, kRelaxed);
    used_.store(used, kRelaxed);
}

void TraitDistributions::clear() {
    const int used = used_.load(kRelaxed);
    for (int c = 0; c < used; ++c)
        zeroColumn(c);
    used_.store(0, kRelaxed);
    samplesPerColumn_.store(1, kRelaxed);
}

}  // namespace kesmir
