#include "sim/cull.h"

#include "world/counters.h"
#include "world/lists.h"

namespace kesmir {

namespace {

template <class Record>
int32_t keepAlive(const Record* from, int32_t count, Record* to, Slot* slots, float& lowest,
                  float& highest) {
    lowest = 100000.0f;
    highest = -100000.0f;
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        const Record& r = from[i];
        const int32_t cell = cellIndex(r.x, r.y);
        if (r.alive) {
            if (lowest > r.energy) lowest = r.energy;
            if (r.energy > highest) highest = r.energy;
            storeRecord(to[kept], r);
            slots[cell] = slotOf(kept);
            ++kept;
        } else {
            slots[cell] = kEmpty;
        }
    }
    return kept;
}

template <class Record>
void append(const Record* newborns, int32_t count, Record* to, int32_t behind, Slot* slots) {
    for (int32_t i = 0; i < count; ++i) {
        storeRecord(to[behind + i], newborns[i]);
        slots[cellIndex(newborns[i].x, newborns[i].y)] = slotOf(behind + i);
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
