// Building the first generation: the nutrient layer, the two seed samples of
// each kind and the placement of every organism on a random free cell.
#pragma once

#include <cstdint>

namespace kesmir {

// Loads or resets the nutrient layer, fills seed sample A, loads or generates
// seed sample B and places the first generation.
void matureNutrients();

// Seed sample A: 5,000 fresh organisms per kind, made on every run.
void createPlants();
void createHerbivores();
void createCarnivores();

// Seed sample B when none was stored: the same, marked 61680.
void newPlants();
void newHerbivores();
void newCarnivores();

// Places Ppop, Hpop, Cpop organisms: the first half copied from sample A, the
// rest from sample B, each on a random cell free of its kind.
void matureSamples();

// How many entries of sample B are filled: 5,000 generated or 1,000 loaded.
extern int seedSampleBSize;

constexpr uint32_t kMarkerA = 3855;   // 0x0F0F, plants of sample A
constexpr uint32_t kMarkerB = 61680;  // 0xF0F0, generated sample B

}  // namespace kesmir
