// The gene fields whose values are counted over the whole population, one
// table read by the counting, the statistics, the files and the charts. Each
// field is named as the columns of "traits.csv" name it; the bits are those
// of the gene table in world/genes.h.
//
// Counts of all fields live in one flat array of bins: field f holds
// 2^width bins from binOffset(f) on, bin v counting the organisms whose
// field holds v.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "world/genes.h"

namespace kesmir {

enum class Kind : uint8_t { plant, herbivore, carnivore };
inline constexpr int kKinds = 3;
inline constexpr std::array<const char*, kKinds> kKindNames{"plant", "herbivore", "carnivore"};

// Which gene word of the record holds the field.
enum class GeneWord : uint8_t { chrom1, chrom2, chrom3, chrom4 };

struct TraitField {
    Kind kind;
    const char* trait;
    GeneWord word;
    GeneField bits;

    constexpr int values() const { return 1 << bits.width; }
};

namespace trait_fields_detail {
using enum GeneWord;
using namespace genes;
constexpr Kind P = Kind::plant;
constexpr Kind H = Kind::herbivore;
constexpr Kind C = Kind::carnivore;
// Direction k (1 = E .. 8 = SE) of an animal kind.
constexpr TraitField weight(Kind kind, const char* name, int k) {
    return {kind, name, chrom4, directionWeight(k)};
}
}  // namespace trait_fields_detail

// Plants, then herbivores, then carnivores: every kind's fields together.
inline constexpr auto kTraitFields = [] {
    using namespace trait_fields_detail;
    return std::array<TraitField, 40>{{
        {P, "metabolism", chrom1, plantMetabolism},
        {P, "absorption", chrom1, plantAbsorption},
        {P, "satiety", chrom1, plantSatiety},
        {P, "senescence", chrom1, plantSenescence},
        {P, "poison", chrom2, plantPoison},
        {P, "spines", chrom2, plantSpines},

        {H, "metabolism", chrom1, animalMetabolism},
        {H, "conversion", chrom1, animalAbsorption},
        {H, "satiety", chrom1, herbivoreSatiety},
        {H, "maturity", chrom1, animalMaturity},
        {H, "senescence", chrom1, animalSenescence},
        {H, "camouflage", chrom2, herbivoreCamouflage},
        {H, "spine_eating", chrom2, herbivoreSpineEating},
        {H, "resistance", chrom2, herbivoreResistance},
        weight(H, "weight_E", 1),
        weight(H, "weight_NE", 2),
        weight(H, "weight_N", 3),
        weight(H, "weight_NW", 4),
        weight(H, "weight_W", 5),
        weight(H, "weight_SW", 6),
        weight(H, "weight_S", 7),
        weight(H, "weight_SE", 8),
        {H, "reach", chrom4, reach},
        {H, "speed", chrom4, speed},

        {C, "metabolism", chrom1, animalMetabolism},
        {C, "conversion", chrom1, animalAbsorption},
        {C, "satiety", chrom1, carnivoreSatiety},
        {C, "maturity", chrom1, animalMaturity},
        {C, "senescence", chrom1, animalSenescence},
        {C, "sight", chrom3, carnivoreSight},
        weight(C, "weight_E", 1),
        weight(C, "weight_NE", 2),
        weight(C, "weight_N", 3),
        weight(C, "weight_NW", 4),
        weight(C, "weight_W", 5),
        weight(C, "weight_SW", 6),
        weight(C, "weight_S", 7),
        weight(C, "weight_SE", 8),
        {C, "reach", chrom4, reach},
        {C, "speed", chrom4, speed},
    }};
}();

inline constexpr int kTraitFieldCount = int(kTraitFields.size());

// Where each field's bins begin; the last entry is the number of bins.
inline constexpr auto kBinOffsets = [] {
    std::array<int, kTraitFieldCount + 1> offsets{};
    for (int f = 0; f < kTraitFieldCount; ++f)
        offsets[f + 1] = offsets[f] + kTraitFields[f].values();
    return offsets;
}();

inline constexpr int kTraitBins = kBinOffsets[kTraitFieldCount];

constexpr int binOffset(int field) {
    return kBinOffsets[field];
}

// The field of a kind named `trait`, or -1.
constexpr int traitFieldIndex(Kind kind, std::string_view trait) {
    for (int f = 0; f < kTraitFieldCount; ++f)
        if (kTraitFields[f].kind == kind && trait == kTraitFields[f].trait) return f;
    return -1;
}

// The three arms races the charts draw: a defence and the trait that
// overcomes it, both six-bit fields.
struct ArmsRace {
    int defence;  // fields of kTraitFields
    int counter;
};
inline constexpr std::array<ArmsRace, 3> kArmsRaces{{
    {traitFieldIndex(Kind::plant, "poison"), traitFieldIndex(Kind::herbivore, "resistance")},
    {traitFieldIndex(Kind::herbivore, "camouflage"), traitFieldIndex(Kind::carnivore, "sight")},
    {traitFieldIndex(Kind::plant, "spines"), traitFieldIndex(Kind::herbivore, "spine_eating")},
}};

// A race's two traits on one scale: a value (or mean) v of a six-bit field
// as the share of the top value, (v + 1) / 65.
constexpr double armsRaceShare(double v) {
    return (v + 1) / 65;
}

}  // namespace kesmir
