// What grazing and hunting share, for the feeding step on one thread and
// for its pipeline on several.
#pragma once

#include <cstdint>

#include "sim/ahead_counts.h"
#include "sim/cycle_params.h"
#include "sim/look_up_cells.h"
#include "sim/move.h"
#include "world/genes.h"
#include "world/grid.h"
#include "world/lists.h"
#include "world/random.h"
#include "world/small_divisor.h"
#include "world/vt.h"

namespace kesmir {

// What sets grazing and hunting apart.
struct Grazing {
    static constexpr int kLookUps = 31;
    static constexpr float kDivisor = 12.0f;
    using Prey = plant;
    static float satiety(const animal& a) {
        return static_cast<float>(field(a.chrom1, genes::herbivoreSatiety)) +
               cycleParams().HSoffset;
    }
    // Poison resistance against the poison strength the plant's slot holds:
    // both are fractions (v + 1) / 65 of six-bit fields, so the fields
    // themselves order the same way.
    static uint32_t ability(const animal& a) { return field(a.chrom2, genes::herbivoreResistance); }
};

struct Hunting {
    static constexpr int kLookUps = 59;
    static constexpr float kDivisor = 9.0f;
    using Prey = animal;
    static float satiety(const animal& a) {
        return static_cast<float>(field(a.chrom1, genes::carnivoreSatiety)) +
               cycleParams().CSoffset;
    }
    // Sight against the camouflage the herbivore's slot holds, likewise.
    static uint32_t ability(const animal& a) { return field(a.chrom3, genes::carnivoreSight); }
};

// Every look-up takes two draws, its distance and its direction, whether or
// not anything is found.
template <class Feeding>
constexpr RandomJump kLookUpDraws = RandomJump::of(2 * Feeding::kLookUps);

// The target cells of an eater's look-ups, in order, drawn from `random`;
// the occupancy bits of the cells are asked for at once.
template <class Feeding>
void aimLookUps(const animal& a, LocalRandom& random, int32_t* cells, const SlotLayer& slots) {
    const SmallDivisor& reach =
        SmallDivisor::of(12 + static_cast<int32_t>(field(a.chrom4, genes::reach)));
    const IntegerWheel wheel(a.chrom4);
    lookUpCells(LookUpOrigin{random.state(), vt{a.x, a.y}, reach, wheel}, Feeding::kLookUps, cells);
    random.skip(kLookUpDraws<Feeding>);
    for (int look = 0; look < Feeding::kLookUps; ++look)
        slots.prefetchBit(cells[look]);
}

template <class Feeding>
float absorptionCoefficient(const animal& eater) {
    return static_cast<float>(field(eater.chrom1, genes::animalAbsorption) + 1) / Feeding::kDivisor;
}

// The eater takes prey energy times its coefficient; the prey's remainder
// goes to the nutrient level of the prey's cell, which is emptied.
template <class Prey>
void takePrey(animal& eater, Prey& q, float coefficient, int32_t cell, SlotLayer& slots) {
    const float taken = q.energy * coefficient;
    eater.energy = taken + eater.energy;
    q.energy = q.energy - taken;
    setNutrient(cell, q.energy + nutrientAt(cell));
    slots.clear(cell);
    q.alive = 0;
}

// Eats in the parts of the step that are split over several threads; returns
// how many plants or herbivores were eaten.
int32_t grazeOnAllThreads(animal* herbivores, int32_t count);
int32_t huntOnAllThreads(animal* carnivores, int32_t count);

// Eaters with food in sight whose meals were worked out ahead on several
// threads, and how many of them had to be fed again in order because an
// earlier eater took one of their meals first; summed over every feeding
// since the process started (simulation thread; for the benchmark).
AheadCounts& feedingAheadCounts();

}  // namespace kesmir
