#include "sim/eat.h"

#include "sim/move.h"
#include "world/counters.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/small_divisor.h"

namespace kesmir {

namespace {

void plantsAbsorb(plant* plants, int32_t count) {
    constexpr int32_t kAhead = 16;
    for (int32_t i = 0; i < count; ++i) {
        if (i + kAhead < count) {
            const plant& next = plants[i + kAhead];
            __builtin_prefetch(&E.nutrient[cellIndex(next.x, next.y)], 1);
        }
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

// What sets grazing and hunting apart.
struct Grazing {
    static constexpr int kLookUps = 31;
    static constexpr float kDivisor = 12.0f;
    using Prey = plant;
    static float satiety(const animal& a) {
        return static_cast<float>(field(a.chrom1, genes::herbivoreSatiety)) + HSoffset;
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
        return static_cast<float>(field(a.chrom1, genes::carnivoreSatiety)) + CSoffset;
    }
    // Sight against the camouflage the herbivore's slot holds, likewise.
    static uint32_t ability(const animal& a) { return field(a.chrom3, genes::carnivoreSight); }
};

// Every eater makes its look-ups one after another and eats what it finds
// while it is below its satiety level. The look-ups' draws never depend on
// what is found, so the target cells of the next eaters are worked out ahead
// and their slots, and then the prey records the slots name, are fetched
// from memory while earlier eaters feed: the cycle's random look-ups overlap
// instead of waiting on memory one by one. The draws are taken in exactly
// the order of a plain pass: eater by eater, look-up by look-up.
template <class Feeding>
class Feeder {
  public:
    Feeder(animal* eaters, int32_t count, typename Feeding::Prey* prey, SlotLayer& slots)
        : eaters_(eaters), count_(count), prey_(prey), slots_(slots) {}

    // Returns how many prey were eaten.
    int32_t run() {
        int32_t eaten = 0;
        for (int32_t i = 0; i < count_ && i < kAimAhead; ++i)
            aim(i);
        for (int32_t i = 0; i < count_; ++i) {
            if (i + kAimAhead < count_) aim(i + kAimAhead);
            if (i + kSlotAhead < count_) fetchSlots(i + kSlotAhead);
            if (i + kPreyAhead < count_) fetchPrey(i + kPreyAhead);
            eaten += feed(i);
        }
        return eaten;
    }

  private:
    static constexpr int kLookUps = Feeding::kLookUps;
    // How many eaters ahead the targets are known (and the occupancy bits of
    // their cells fetched), the slots of occupied targets fetched, and the
    // prey those slots name fetched.
    static constexpr int32_t kAimAhead = 3;
    static constexpr int32_t kSlotAhead = 2;
    static constexpr int32_t kPreyAhead = 1;
    static constexpr int32_t kRing = kAimAhead + 1;

    int32_t* targets(int32_t eater) { return targets_[eater % kRing]; }

    void aim(int32_t i) {
        const animal& a = eaters_[i];
        const SmallDivisor reach(12 + static_cast<int32_t>(field(a.chrom4, genes::reach)));
        const DirectionWheel wheel(a.chrom4);
        const vt p{a.x, a.y};
        const bool fetch = hungry(i);
        int32_t* cells = targets(i);
        for (int look = 0; look < kLookUps; ++look) {
            const int32_t distance = reach.remainder(draw());
            const int32_t cell = cellIndex(bound(sum(p, scale(distance, wheel.spin()))));
            cells[look] = cell;
            if (fetch) slots_.prefetchBit(cell);
        }
    }

    // An eater that is satiated eats nothing, keeps its energy and so stays
    // satiated: nothing needs fetching for it.
    bool hungry(int32_t i) const {
        const animal& eater = eaters_[i];
        return Feeding::satiety(eater) > eater.energy;
    }

    void fetchSlots(int32_t i) {
        if (!hungry(i)) return;
        const int32_t* cells = targets(i);
        for (int look = 0; look < kLookUps; ++look)
            if (slots_.occupied(cells[look])) slots_.prefetchSlot(cells[look]);
    }

    void fetchPrey(int32_t i) {
        if (!hungry(i)) return;
        const uint32_t ability = Feeding::ability(eaters_[i]);
        const int32_t* cells = targets(i);
        for (int look = 0; look < kLookUps; ++look) {
            if (!slots_.occupied(cells[look])) continue;
            const Slot slot = slots_[cells[look]];
            if (ability < defenceOf(slot)) continue;
            __builtin_prefetch(&prey_[indexOf(slot)], 1);
            __builtin_prefetch(&E.nutrient[cells[look]], 1);
        }
    }

    int32_t feed(int32_t i) {
        animal& eater = eaters_[i];
        const float satiety = Feeding::satiety(eater);
        const uint32_t ability = Feeding::ability(eater);
        const float coefficient =
            static_cast<float>(field(eater.chrom1, genes::animalAbsorption) + 1) /
            Feeding::kDivisor;
        const int32_t* cells = targets(i);
        int32_t eaten = 0;
        for (int look = 0; look < kLookUps; ++look) {
            // Hunger is tested before the slot is read; the order of the two
            // tests changes no result and spares satiated eaters the memory.
            if (!(satiety > eater.energy)) break;
            const int32_t cell = cells[look];
            if (!slots_.occupied(cell)) continue;
            const Slot slot = slots_[cell];
            if (ability < defenceOf(slot)) continue;
            auto& q = prey_[indexOf(slot)];
            // The eater takes prey energy times its coefficient; the prey's
            // remainder goes to the nutrient level of the prey's cell.
            const float taken = q.energy * coefficient;
            eater.energy = taken + eater.energy;
            q.energy = q.energy - taken;
            setNutrient(cell, q.energy + nutrientAt(cell));
            slots_.clear(cell);
            q.alive = 0;
            ++eaten;
        }
        return eaten;
    }

    animal* eaters_;
    int32_t count_;
    typename Feeding::Prey* prey_;
    SlotLayer& slots_;
    int32_t targets_[kRing][kLookUps];
};

}  // namespace

void eat() {
    Heat = 0;
    Peat = 0;
    plantsAbsorb(PL, Ppop);
    Peat = Feeder<Grazing>(HL, Hpop, PL, E.plant).run();
    Heat = Feeder<Hunting>(CL, Cpop, HL, E.herbivore).run();
}

}  // namespace kesmir
