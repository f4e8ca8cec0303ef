// Gene words and the genetic operators.
//
// Every trait is a bit field of a 32-bit gene word; the table below is the
// one place that says which bits hold what. Bits are numbered from 0, the
// least significant; a field is the word shifted right by its first bit and
// masked to its width.
//
//   kind       word    bits   trait
//   plant      chrom1  0-1    metabolic cost = v + PMoffset
//   plant      chrom1  7-9    absorption coefficient = (v + 1) / 15
//   plant      chrom1  10-15  satiety = v + PSoffset
//   plant      chrom1  22-25  senescent age = v + PNoffset
//   plant      chrom2  12-17  poison strength = (v + 1) / 65
//   plant      chrom2  18-23  spines = (v + 1) / 65 (reported only)
//   herbivore  chrom1  0-2    metabolic cost = v + HMoffset
//   herbivore  chrom1  7-9    conversion coefficient = (v + 1) / 12
//   herbivore  chrom1  10-15  satiety = v + HSoffset
//   herbivore  chrom1  16-20  maturity age = v + HAoffset
//   herbivore  chrom1  22-26  senescent age = v + HNoffset
//   herbivore  chrom2  0-5    camouflage = (v + 1) / 65
//   herbivore  chrom2  6-11   ability to eat spines = (v + 1) / 65 (reported only)
//   herbivore  chrom2  12-17  poison resistance = (v + 1) / 65
//   carnivore  chrom1  0-2    metabolic cost = v + CMoffset
//   carnivore  chrom1  7-9    conversion coefficient = (v + 1) / 9
//   carnivore  chrom1  10-13  satiety = v + CSoffset
//   carnivore  chrom1  16-20  maturity age = v + CAoffset
//   carnivore  chrom1  22-26  senescent age = v + CNoffset
//   carnivore  chrom3  0-5    sight = (v + 1) / 65
//   animal     chrom4  0-23   direction weights, 3 bits each: SE 0-2, S 3-5,
//                             SW 6-8, W 9-11, NW 12-14, N 15-17, NE 18-20, E 21-23
//   animal     chrom4  24-26  feeding reach = 12 + v
//   animal     chrom4  28-30  speed (herbivore 1..1+v cells, carnivore 3..5+v)
//   all        GM      0-31   descent marker
//
// Seeded gene words are single 15-bit draws, so every field lying wholly in
// bits 15 and above (senescence, maturity, reach, speed, E/NE/N weights,
// spines) starts at 0 and grows only by mutation.
#pragma once

#include <cstdint>

namespace kesmir {

struct GeneField {
    int first;  // lowest bit
    int width;
};

constexpr uint32_t field(uint32_t word, GeneField f) {
    return (word >> f.first) & ((1u << f.width) - 1u);
}

namespace genes {
constexpr GeneField plantMetabolism{0, 2};
constexpr GeneField plantAbsorption{7, 3};
constexpr GeneField plantSatiety{10, 6};
constexpr GeneField plantSenescence{22, 4};
constexpr GeneField plantPoison{12, 6};  // chrom2
constexpr GeneField plantSpines{18, 6};  // chrom2

constexpr GeneField animalMetabolism{0, 3};
constexpr GeneField animalAbsorption{7, 3};
constexpr GeneField herbivoreSatiety{10, 6};
constexpr GeneField carnivoreSatiety{10, 4};
constexpr GeneField animalMaturity{16, 5};
constexpr GeneField animalSenescence{22, 5};
constexpr GeneField herbivoreCamouflage{0, 6};   // chrom2
constexpr GeneField herbivoreSpineEating{6, 6};  // chrom2
constexpr GeneField herbivoreResistance{12, 6};  // chrom2
constexpr GeneField carnivoreSight{0, 6};        // chrom3
constexpr GeneField reach{24, 3};                // chrom4
constexpr GeneField speed{28, 3};                // chrom4

// Weight of direction index k (1 = E .. 8 = SE) in chrom4.
constexpr GeneField directionWeight(int k) {
    return GeneField{3 * (8 - k), 3};
}
}  // namespace genes

// A six-bit trait as the fraction (v + 1) / 65, in single precision.
inline float sixBitFraction(uint32_t v) {
    return static_cast<float>(v + 1) / 65.0f;
}

// The crossover of two gene words: bits above a drawn cut come from `first`
// (the reproducing organism's word), bits below it from `second` (its mate's);
// the child then mutates with a chance of 984 in 32768.
uint32_t crossover(uint32_t first, uint32_t second);

// Flips one of bits 0..30, drawn.
uint32_t mutation(uint32_t word);

}  // namespace kesmir
