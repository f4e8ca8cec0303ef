#include "sim/eat.h"

#include "sim/move.h"
#include "world/counters.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"

namespace kesmir {

namespace {

constexpr int kHerbivoreLookUps = 31;
constexpr int kCarnivoreLookUps = 59;

void plantsAbsorb(plant* plants, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        plant& p = plants[i];
        const float satiety = static_cast<float>(field(p.chrom1, genes::plantSatiety)) + PSoffset;
        if (!(satiety > p.energy)) continue;
        const float a = static_cast<float>(field(p.chrom1, genes::plantAbsorption) + 1) / 15.0f;
        const int32_t cell = cellIndex(p.x, p.y);
        const float n = nutrientAt(cell);
        p.energy = n * a + p.energy;
        setNutrient(cell, n - n * a);
    }
}

// The eater takes prey.energy * coefficient; the prey's remainder goes to the
// nutrient level of the prey's cell. Returns nothing: the caller counts.
template <class Prey>
void consume(float& eaterEnergy, float coefficient, Prey& prey, int32_t cell) {
    const float taken = prey.energy * coefficient;
    eaterEnergy = taken + eaterEnergy;
    prey.energy = prey.energy - taken;
    setNutrient(cell, prey.energy + nutrientAt(cell));
    prey.alive = 0;
}

void herbivoresGraze(animal* herbivores, int32_t count, plant* plants) {
    for (int32_t i = 0; i < count; ++i) {
        animal& h = herbivores[i];
        const int32_t reach = 12 + static_cast<int32_t>(field(h.chrom4, genes::reach));
        const float satiety =
            static_cast<float>(field(h.chrom1, genes::herbivoreSatiety)) + HSoffset;
        // Resistance against strength compares two fractions (v + 1) / 65 of
        // six-bit fields; the fields themselves order the same way.
        const uint32_t resistance = field(h.chrom2, genes::herbivoreResistance);
        const float coefficient =
            static_cast<float>(field(h.chrom1, genes::animalAbsorption) + 1) / 12.0f;
        const DirectionWheel wheel(h.chrom4);
        const vt p{h.x, h.y};
        for (int look = 0; look < kHerbivoreLookUps; ++look) {
            const int32_t distance = draw() % reach;
            const int32_t cell = cellIndex(bound(sum(p, scale(distance, wheel.spin()))));
            const Slot slot = E.plant[cell];
            if (slot == kEmpty || !(satiety > h.energy)) continue;
            plant& q = plants[indexOf(slot)];
            if (resistance < field(q.chrom2, genes::plantPoison)) continue;
            consume(h.energy, coefficient, q, cell);
            E.plant[cell] = kEmpty;
            ++Peat;
        }
    }
}

void carnivoresHunt(animal* carnivores, int32_t count, animal* herbivores) {
    for (int32_t i = 0; i < count; ++i) {
        animal& c = carnivores[i];
        const int32_t reach = 12 + static_cast<int32_t>(field(c.chrom4, genes::reach));
        const float satiety =
            static_cast<float>(field(c.chrom1, genes::carnivoreSatiety)) + CSoffset;
        const uint32_t sight = field(c.chrom3, genes::carnivoreSight);
        const float coefficient =
            static_cast<float>(field(c.chrom1, genes::animalAbsorption) + 1) / 9.0f;
        const DirectionWheel wheel(c.chrom4);
        const vt p{c.x, c.y};
        for (int look = 0; look < kCarnivoreLookUps; ++look) {
            const int32_t distance = draw() % reach;
            const int32_t cell = cellIndex(bound(sum(p, scale(distance, wheel.spin()))));
            const Slot slot = E.herbivore[cell];
            if (slot == kEmpty || !(satiety > c.energy)) continue;
            animal& h = herbivores[indexOf(slot)];
            if (sight < field(h.chrom2, genes::herbivoreCamouflage)) continue;
            consume(c.energy, coefficient, h, cell);
            E.herbivore[cell] = kEmpty;
            ++Heat;
        }
    }
}

}  // namespace

void eat() {
    Heat = 0;
    Peat = 0;
    plantsAbsorb(PL, Ppop);
    herbivoresGraze(HL, Hpop, PL);
    carnivoresHunt(CL, Cpop, HL);
}

}  // namespace kesmir
