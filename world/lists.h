// The organism lists: two buffers per kind (current and other), the newborn
// lists, the spot-sample lists and the seed samples, all at full capacity.
#pragma once

#include <cstdint>

#include "world/genes.h"
#include "world/grid.h"
#include "world/records.h"
#include "world/shared_access.h"

namespace kesmir {

constexpr int32_t kListCapacity = kCells;     // one record per cell
constexpr int32_t kSampleCapacity = 1000000;  // SP, SH, SC
constexpr int32_t kSeedSampleSize = 5000;     // PS, HS, CS, PB, HB, CB
constexpr int32_t kLoadedSeedSampleSize = 1000;

// No kind may start a cycle's reproduction with more records than this:
// every record starts at most one birth per cycle, so survivors plus
// newborns then stay below the list capacity.
constexpr int32_t kReproductionGuard = 6124999;

extern plant* PL1;
extern plant* PL2;
extern animal* HL1;
extern animal* HL2;
extern animal* CL1;
extern animal* CL2;

// Current lists (read by the display while the cycle runs) and other lists.
extern RelaxedAtomic<plant*> PL;
extern RelaxedAtomic<animal*> HL;
extern RelaxedAtomic<animal*> CL;
extern plant* OPL;
extern animal* OHL;
extern animal* OCL;
extern bool even;  // true while PL1, HL1, CL1 are current

extern RelaxedAtomic<int32_t> Ppop;
extern RelaxedAtomic<int32_t> Hpop;
extern RelaxedAtomic<int32_t> Cpop;

// The counts a new world is seeded with.
inline constexpr int32_t kStartPlants = 500000;
inline constexpr int32_t kStartHerbivores = 230000;
inline constexpr int32_t kStartCarnivores = 50000;

extern plant* NP;
extern animal* NH;
extern animal* NC;

extern plant* SP;
extern animal* SH;
extern animal* SC;

extern plant* PS;
extern animal* HS;
extern animal* CS;
extern plant* PB;
extern animal* HB;
extern animal* CB;

// Reserves every list and the grid once; later calls do nothing.
void allocateWorld();

// Makes the lists that culling and insertion just built current.
void bufferSwap();

// Makes PL1, HL1, CL1 current when `first` (even), else PL2, HL2, CL2.
void selectBuffers(bool first);

// Copies a record into a list that the display may be reading: the position
// is stored atomically, the rest plainly (the display reads nothing else).
inline void storeRecord(plant& to, const plant& from) {
    relaxedStore(to.x, from.x);
    relaxedStore(to.y, from.y);
    to.energy = from.energy;
    to.alive = from.alive;
    to.age = from.age;
    to.chrom1 = from.chrom1;
    to.chrom2 = from.chrom2;
    to.GM = from.GM;
}

inline void storeRecord(animal& to, const animal& from) {
    relaxedStore(to.x, from.x);
    relaxedStore(to.y, from.y);
    to.energy = from.energy;
    to.alive = from.alive;
    to.age = from.age;
    to.chrom1 = from.chrom1;
    to.chrom2 = from.chrom2;
    to.chrom3 = from.chrom3;
    to.chrom4 = from.chrom4;
    to.GM = from.GM;
}

// The defence a record carries in its cell's slot: a plant's poison
// strength, an animal's camouflage (read only for herbivores).
inline uint32_t preyDefence(const plant& p) {
    return field(p.chrom2, genes::plantPoison);
}
inline uint32_t preyDefence(const animal& a) {
    return field(a.chrom2, genes::herbivoreCamouflage);
}

template <class Record>
inline Slot slotFor(const Record& record, int32_t listIndex) {
    return slotOf(listIndex, preyDefence(record));
}

template <class Record>
inline void storePosition(Record& record, int32_t x, int32_t y) {
    relaxedStore(record.x, x);
    relaxedStore(record.y, y);
}

}  // namespace kesmir
