// The world grid E: 3500 x 3500 cells on a torus, each with a nutrient level
// and one slot per kind naming the organism that stands on it.
//
// The cells are stored as four separate arrays rather than one array of cell
// structs: the nutrient levels are swept linearly every cycle, while each
// slot array is hit at random by one kind of look-up (a herbivore's feeding
// touches only plant slots), so keeping them apart puts 16 useful slots in
// every cache line instead of two whole cells.
#pragma once

#include <cstdint>

#include "world/shared_access.h"

namespace kesmir {

constexpr int kWorldSide = 3500;
constexpr int kCells = kWorldSide * kWorldSide;  // 12,250,000

// A slot holds 0 when empty, otherwise 1 + the index of the record in the
// list it points into (the current list between cycles; see the cycle steps
// for the moments when it points into the newborn or the other list).
using Slot = uint32_t;
constexpr Slot kEmpty = 0;
inline Slot slotOf(int32_t listIndex) {
    return static_cast<Slot>(listIndex) + 1;
}
inline int32_t indexOf(Slot slot) {
    return static_cast<int32_t>(slot - 1);
}

struct Grid {
    float* nutrient;  // shared: accessed with relaxedLoad / relaxedStore
    Slot* plant;
    Slot* herbivore;
    Slot* carnivore;
};

extern Grid E;

inline int32_t cellIndex(int32_t x, int32_t y) {
    return y * kWorldSide + x;
}

inline float nutrientAt(int32_t cell) {
    return relaxedLoad(E.nutrient[cell]);
}
inline void setNutrient(int32_t cell, float level) {
    relaxedStore(E.nutrient[cell], level);
}

// Every cell to 250.0 with three empty slots.
void initEcosystem();

}  // namespace kesmir
