// A hash of everything a step may change, for tests that hold two ways of
// running the steps to the same bits.
#pragma once

#include <bit>
#include <cstdint>

#include "world/counters.h"
#include "world/grid.h"
#include "world/lists.h"
#include "world/random.h"

namespace kesmir::testing {

class Fingerprint {
  public:
    void mix(uint64_t word) { hash_ = (hash_ ^ word) * 1099511628211ull; }
    void mix(float value) { mix(uint64_t{std::bit_cast<uint32_t>(value)}); }
    template <class Record>
    void mixRecords(const Record* list, int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            const Record& r = list[i];
            mix(uint64_t(uint32_t(r.x)) << 32 | uint32_t(r.y));
            mix(r.energy);
            mix(uint64_t{r.alive} << 32 | uint32_t(r.age));
            mix(uint64_t{r.chrom1} << 32 | r.chrom2);
            if constexpr (sizeof(Record) == sizeof(animal))
                mix(uint64_t{r.chrom3} << 32 | r.chrom4);
            mix(uint64_t{r.GM});
        }
    }
    uint64_t value() const { return hash_; }

  private:
    uint64_t hash_ = 1469598103934665603ull;
};

// Everything a step may change: the grid with every slot and bit, both
// buffers and the newborn list of every kind, the counters, the generator.
inline uint64_t worldFingerprint(int32_t longestList) {
    Fingerprint f;
    for (int32_t cell = 0; cell < kCells; ++cell) {
        f.mix(nutrientAt(cell));
        f.mix(uint64_t{E.plant[cell]} << 32 | E.herbivore[cell]);
        f.mix(uint64_t{E.carnivore[cell]} << 3 | uint64_t{E.plant.occupied(cell)} << 2 |
              uint64_t{E.herbivore.occupied(cell)} << 1 | E.carnivore.occupied(cell));
    }
    for (const plant* list : {PL1, PL2, NP})
        f.mixRecords(list, longestList);
    for (const animal* list : {HL1, HL2, NH, CL1, CL2, NC})
        f.mixRecords(list, longestList);
    for (const int32_t n : {int32_t(Ppop), int32_t(Hpop), int32_t(Cpop), newPpop, newHpop, newCpop,
                            Peat, Heat, Ceat, int32_t(even)})
        f.mix(uint64_t(uint32_t(n)));
    for (const float x : {pmin, pmax, hmin, hmax, cmin, cmax, emax})
        f.mix(x);
    f.mix(uint64_t{randState});
    return f.value();
}

}  // namespace kesmir::testing
