// How many organisms of each kind hold each value of each counted gene field
// (stats/trait_fields.h), at one cycle. Counts are whole numbers, so however
// the lists are cut into pieces and whichever thread counts a piece, the sums
// are the same.
//
// Counting one record takes one increment per group of fields rather than
// per field: the fields of one gene word are packed, as the table lists
// them, into groups of at most 12 bits, each record increments the bin of
// its group's joint value (a table of 2^width bins), and each field's bins
// are summed out of the joint ones once a piece is done. A herbivore then
// costs 7 increments instead of 18, a plant 3 instead of 6.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "stats/trait_fields.h"
#include "world/lists.h"

namespace kesmir {

// A list holds at most kListCapacity records, so every bin, and the sum of
// any field's values over a kind, fits in 32 bits.
static_assert(uint64_t{kListCapacity} * 63 <= UINT32_MAX);

using TraitBins = std::array<uint32_t, kTraitBins>;

struct TraitCounts {
    int32_t cycle = 0;
    std::array<int32_t, kKinds> organisms{};  // plants, herbivores, carnivores counted
    TraitBins bins{};

    uint32_t at(int field, int value) const { return bins[std::size_t(binOffset(field) + value)]; }
};

namespace trait_counts_detail {

constexpr int kMostGroupBits = 12;

struct GroupPart {
    int field;
    int at;  // the field's first bit in the joint value
};

struct FieldGroup {
    GeneWord word;
    int parts = 0;
    std::array<GroupPart, 4> part{};
    int width = 0;   // bits of the joint value
    int offset = 0;  // where its bins begin among the kind's joint bins
};

// The kind's fields packed into groups, in table order; a field joins the
// last open group of its word while that stays within kMostGroupBits.
template <int kCapacity>
constexpr std::pair<std::array<FieldGroup, kCapacity>, int> groupsOf(Kind kind) {
    std::array<FieldGroup, kCapacity> groups{};
    int count = 0;
    for (int f = 0; f < kTraitFieldCount; ++f) {
        const TraitField& field = kTraitFields[f];
        if (field.kind != kind) continue;
        int g = count - 1;
        while (g >= 0 && groups[g].word != field.word)
            --g;
        const bool fits =
            g >= 0 && groups[g].parts < 4 && groups[g].width + field.bits.width <= kMostGroupBits;
        if (!fits) {
            g = count++;
            groups[g].word = field.word;
        }
        groups[g].part[groups[g].parts++] = {f, groups[g].width};
        groups[g].width += field.bits.width;
    }
    int offset = 0;
    for (int g = 0; g < count; ++g) {
        groups[g].offset = offset;
        offset += 1 << groups[g].width;
    }
    return {groups, count};
}

template <Kind kKind>
inline constexpr int kGroupCount = groupsOf<kTraitFieldCount>(kKind).second;

template <Kind kKind>
inline constexpr auto kGroups = [] {
    std::array<FieldGroup, kGroupCount<kKind>> groups{};
    const auto all = groupsOf<kTraitFieldCount>(kKind).first;
    for (int g = 0; g < kGroupCount<kKind>; ++g)
        groups[g] = all[g];
    return groups;
}();

template <Kind kKind>
inline constexpr int kJointBins = kGroups<kKind>.back().offset + (1 << kGroups<kKind>.back().width);

template <class Record>
constexpr uint32_t geneWord(const Record& r, GeneWord word) {
    switch (word) {
        case GeneWord::chrom1:
            return r.chrom1;
        case GeneWord::chrom2:
            return r.chrom2;
        case GeneWord::chrom3:
            if constexpr (requires { r.chrom3; }) return r.chrom3;
            break;
        case GeneWord::chrom4:
            if constexpr (requires { r.chrom4; }) return r.chrom4;
            break;
    }
    return 0;
}

// The parts unrolled too: every shift and mask a constant.
template <Kind kKind, std::size_t kGroup, class Record, std::size_t... kPart>
inline uint32_t jointValue(const Record& r, std::index_sequence<kPart...>) {
    constexpr FieldGroup g = kGroups<kKind>[kGroup];
    const uint32_t word = geneWord(r, g.word);
    return ((field(word, kTraitFields[g.part[kPart].field].bits) << g.part[kPart].at) | ...);
}

template <Kind kKind, class Record, std::size_t... kGroup>
inline void countRecord(const Record& r, uint32_t* joint, std::index_sequence<kGroup...>) {
    ((++joint[kGroups<kKind>[kGroup].offset +
              jointValue<kKind, kGroup>(
                  r, std::make_index_sequence<std::size_t(kGroups<kKind>[kGroup].parts)>())]),
     ...);
}

}  // namespace trait_counts_detail

// Joint bins of one kind's groups, to count records into.
template <Kind kKind>
using JointBins = std::array<uint32_t, trait_counts_detail::kJointBins<kKind>>;

// Adds one record of kind kKind to `joint`: one increment per group, the
// groups unrolled at compile time, so the table's shifts and masks become
// constants. Inline for the loops that copy records anyway.
template <Kind kKind, class Record>
inline void countRecord(const Record& r, JointBins<kKind>& joint) {
    trait_counts_detail::countRecord<kKind>(
        r, joint.data(), std::make_index_sequence<trait_counts_detail::kGroupCount<kKind>>());
}

// Adds each field's share of `joint` to its bins.
template <Kind kKind>
void addJointBins(const JointBins<kKind>& joint, TraitBins& bins) {
    using namespace trait_counts_detail;
    for (const FieldGroup& g : kGroups<kKind>) {
        for (uint32_t value = 0; value < (1u << g.width); ++value) {
            const uint32_t count = joint[std::size_t(g.offset) + value];
            if (count == 0) continue;
            for (int p = 0; p < g.parts; ++p) {
                const int f = g.part[p].field;
                const uint32_t v =
                    field(value, GeneField{g.part[p].at, kTraitFields[f].bits.width});
                bins[std::size_t(binOffset(f)) + v] += count;
            }
        }
    }
}

// Calls work(count), where count(record) counts one record of kind kKind,
// then adds what was counted to `bins`. The joint bins are the calling
// thread's own, reused from call to call.
template <Kind kKind, class Work>
void countingInto(TraitBins& bins, Work work) {
    static thread_local JointBins<kKind> joint;
    joint.fill(0);
    work([](const auto& record) { countRecord<kKind>(record, joint); });
    addJointBins<kKind>(joint, bins);
}

// Adds the fields of the records [begin, end) to `bins`.
void countFields(const plant* list, int32_t begin, int32_t end, TraitBins& bins);
void countFields(Kind kind, const animal* list, int32_t begin, int32_t end, TraitBins& bins);

}  // namespace kesmir
