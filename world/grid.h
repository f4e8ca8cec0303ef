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

// A slot is 0 when the cell is empty. Otherwise bits 0-23 hold 1 + the index
// of the record in the list it points into (the current list between
// cycles; see the cycle steps for the moments when it points into the
// newborn or the other list), and bits 24-29 the record's defence against
// being eaten (a plant's poison strength, a herbivore's camouflage), so that
// an eater can tell from the slot alone whether it could eat what stands
// there. Lists hold at most 12,250,000 records, well inside 24 bits.
using Slot = uint32_t;
constexpr Slot kEmpty = 0;
constexpr Slot kSlotIndexMask = 0xFFFFFFu;
inline Slot slotOf(int32_t listIndex, uint32_t defence) {
    return (defence << 24) | (static_cast<Slot>(listIndex) + 1);
}
inline int32_t indexOf(Slot slot) {
    return static_cast<int32_t>((slot & kSlotIndexMask) - 1);
}
inline uint32_t defenceOf(Slot slot) {
    return slot >> 24;
}

// One kind's slots over the whole grid, with a bitmap of the occupied cells
// beside them. Most look-ups of the cycle (movement targets, feeding, the
// search for a newborn's cell) only ask whether a cell is taken: the bitmap,
// 1.5 MB against the slots' 49 MB, answers from cache, and the slot itself is
// read only where an organism stands. The display reads the bitmap while the
// cycle runs, so its words are written and read whole (relaxed atomics,
// plain moves on x86).
class SlotLayer {
  public:
    void allocate(const char* what);

    bool occupied(int32_t cell) const { return (bits_[cell >> 6] >> (cell & 63)) & 1u; }
    Slot operator[](int32_t cell) const { return slots_[cell]; }

    void set(int32_t cell, Slot slot) {
        slots_[cell] = slot;
        uint64_t& word = bits_[cell >> 6];
        relaxedStore(word, word | uint64_t{1} << (cell & 63));
    }
    void clear(int32_t cell) {
        slots_[cell] = kEmpty;
        uint64_t& word = bits_[cell >> 6];
        relaxedStore(word, word & ~(uint64_t{1} << (cell & 63)));
    }
    // The occupancy bitmap, bit (cell & 63) of word cell >> 6; other threads
    // read its words with relaxedLoad.
    const uint64_t* bitWords() const { return bits_; }
    // Empties every cell.
    void clearAll();

    // Hints that a cell will soon be tested, read or written.
    void prefetchBit(int32_t cell) const { __builtin_prefetch(&bits_[cell >> 6]); }
    void prefetchSlot(int32_t cell) const { __builtin_prefetch(&slots_[cell]); }
    void prefetchForWriting(int32_t cell) const {
        __builtin_prefetch(&slots_[cell], 1);
        __builtin_prefetch(&bits_[cell >> 6], 1);
    }

  private:
    Slot* slots_ = nullptr;
    uint64_t* bits_ = nullptr;
};

struct Grid {
    float* nutrient;  // shared: accessed with relaxedLoad / relaxedStore
    SlotLayer plant;
    SlotLayer herbivore;
    SlotLayer carnivore;
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
