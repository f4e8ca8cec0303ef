#include "sim/cull.h"

#include "world/counters.h"
#include "world/lists.h"

namespace kesmir {

namespace {

template <class Record>
int32_t keepAlive(const Record* from, int32_t count, Record* to, SlotLayer& slots, float& lowest,
                  float& highest) {
    lowest = 100000.0f;
    highest = -100000.0f;
    int32_t kept = 0;
    constexpr int32_t kAhead = 16;  // slots are written at random: ask for them early
    for (int32_t i = 0; i < count; ++i) {
        if (i + kAhead < count)
            slots.prefetchForWriting(cellIndex(from[i + kAhead].x, from[i + kAhead].y));
        const Record& r = from[i];
        const int32_t cell = cellIndex(r.x, r.y);
        if (r.alive) {
            if (lowest > r.energy) lowest = r.energy;
            if (r.energy > highest) highest = r.energy;
            storeRecord(to[kept], r);
            slots.set(cell, slotFor(r, kept));
            ++kept;
        } else {
            slots.clear(cell);
        }
    }
    return kept;
}

template <class Record>
void append(const Record* newborns, int32_t count, Record* to, int32_t behind, SlotLayer& slots) {
    constexpr int32_t kAhead = 16;
    for (int32_t i = 0; i < count; ++i) {
        if (i + kAhead < count)
            slots.prefetchForWriting(cellIndex(newborns[i + kAhead].x, newborns[i + kAhead].y));
        storeRecord(to[behind + i], newborns[i]);
        slots.set(cellIndex(newborns[i].x, newborns[i].y), slotFor(newborns[i], behind + i));
    }
}

}  // namespace

void cull() {
    const int32_t plants = keepAlive<plant>(PL, Ppop, OPL, E.plant, pmin, pmax);
    const int32_t herbivores = keepAlive<animal>(HL, Hpop, OHL, E.herbivore, hmin, hmax);
    const int32_t carnivores = keepAlive<animal>(CL, Cpop, OCL, E.carnivore, cmin, cmax);
    Ppop = plants;
    Hpop = herbivores;
    Cpop = carnivores;
}

void addNew() {
    append<plant>(NP, newPpop, OPL, Ppop, E.plant);
    append<animal>(NH, newHpop, OHL, Hpop, E.herbivore);
    append<animal>(NC, newCpop, OCL, Cpop, E.carnivore);
    Ppop += newPpop;
    Hpop += newHpop;
    Cpop += newCpop;
}

}  // namespace kesmir
