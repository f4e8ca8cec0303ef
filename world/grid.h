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

#include "world/prefetch.h"
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
// read only where an organism stands. The display reads the bitmap while
// the cycle runs.
//
// While a step runs on several threads, worker threads may read slots and
// bits that the simulation thread writes, and several threads may change
// bits of one word: every access is a relaxed atomic one (a plain move on
// x86), and the few writes that can meet another thread's write to the same
// word are atomic read-modify-writes (the *Shared members).
class SlotLayer {
  public:
    void allocate(const char* what);

    bool occupied(int32_t cell) const { return (loadBits(cell) >> (cell & 63)) & 1u; }
    Slot operator[](int32_t cell) const { return relaxedLoad(slots_[cell]); }

    void set(int32_t cell, Slot slot) {
        setSlot(cell, slot);
        markOccupied(cell);
    }
    void clear(int32_t cell) {
        setSlot(cell, kEmpty);
        markEmpty(cell);
    }
    // The slot alone, or the bit alone.
    void setSlot(int32_t cell, Slot slot) { relaxedStore(slots_[cell], slot); }
    void markOccupied(int32_t cell) { storeBits(cell, loadBits(cell) | bitOf(cell)); }
    void markEmpty(int32_t cell) { storeBits(cell, loadBits(cell) & ~bitOf(cell)); }
    // The same while other threads may change other bits of the word.
    void markOccupiedShared(int32_t cell) {
        std::atomic_ref<uint64_t>(bits_[cell >> 6])
            .fetch_or(bitOf(cell), std::memory_order_relaxed);
    }
    void markEmptyShared(int32_t cell) {
        std::atomic_ref<uint64_t>(bits_[cell >> 6])
            .fetch_and(~bitOf(cell), std::memory_order_relaxed);
    }
    // The occupancy bitmap, bit (cell & 63) of word cell >> 6; other threads
    // read its words with relaxedLoad.
    const uint64_t* bitWords() const { return bits_; }
    // Empties every cell.
    void clearAll();

    // Whether two records of the kind's current list may stand on one cell,
    // and whether two newborns, or a newborn and a record, may. Steps that
    // split a list into pieces need every record to have a cell of its own.
    // Set when a move or a birth puts a record on an occupied cell; worked
    // out anew by every cull and insertion; assumed until then (at start and
    // once the layer is emptied).
    bool recordsMayShareCells() const { return recordsShare_; }
    bool newbornsMayShareCells() const { return newbornsShare_; }
    void noteRecordsSharing() { recordsShare_ = true; }
    void noteNewbornsSharing() { newbornsShare_ = true; }
    // After insertion: the survivors shared cells, or the newborns may have.
    void settleSharing(bool survivorsShare) {
        recordsShare_ = survivorsShare || newbornsShare_;
        newbornsShare_ = false;
    }

    // Hints that a cell will soon be tested, read or written.
    void prefetchBit(int32_t cell) const { prefetchLine(&bits_[cell >> 6]); }
    void prefetchSlot(int32_t cell) const { prefetchLine(&slots_[cell]); }
    void prefetchForWriting(int32_t cell) const {
        prefetchLine(&slots_[cell]);
        prefetchLine(&bits_[cell >> 6]);
    }

  private:
    static uint64_t bitOf(int32_t cell) { return uint64_t{1} << (cell & 63); }
    uint64_t loadBits(int32_t cell) const { return relaxedLoad(bits_[cell >> 6]); }
    void storeBits(int32_t cell, uint64_t word) { relaxedStore(bits_[cell >> 6], word); }

    Slot* slots_ = nullptr;
    uint64_t* bits_ = nullptr;
    bool recordsShare_ = true;
    bool newbornsShare_ = true;
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
