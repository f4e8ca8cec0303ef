#include "sim/eat.h"

#include <bit>

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
        // Each stage runs a fixed number of eaters ahead of the feeding.
        for (int32_t i = 0; i < count_ && i < kAimAhead; ++i)
            aim(i);
        for (int32_t i = 0; i < count_ && i < kSlotAhead; ++i)
            fetchSlots(i);
        for (int32_t i = 0; i < count_ && i < kPreyAhead; ++i)
            fetchPrey(i);
        int32_t eaten = 0;
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
    // Every look-up takes two draws: its distance and its direction.
    static constexpr RandomJump kLookUpDraws = RandomJump::of(2 * kLookUps);

    void aim(int32_t i) {
        LocalRandom random;
        // A satiated eater's look-ups find nothing it eats; only their draws
        // count, and those are skipped in one jump.
        if (!hungry(i)) {
            random.skip(kLookUpDraws);
            random.commit();
            return;
        }
        const animal& a = eaters_[i];
        const SmallDivisor reach(12 + static_cast<int32_t>(field(a.chrom4, genes::reach)));
        const DirectionWheel wheel(a.chrom4);
        const vt p{a.x, a.y};
        int32_t* cells = aims_[i % kRing].cells;
        for (int look = 0; look < kLookUps; ++look) {
            int32_t distanceDraw, directionDraw;
            random.drawTwo(distanceDraw, directionDraw);
            const int32_t distance = reach.remainder(distanceDraw);
            const vt direction = dir[wheel.index(fRanOf(directionDraw))];
            const int32_t cell = cellIndex(bound(sum(p, scale(distance, direction))));
            cells[look] = cell;
            slots_.prefetchBit(cell);
        }
        random.commit();
    }

    // An eater that is satiated eats nothing, keeps its energy and so stays
    // satiated: nothing needs fetching for it.
    bool hungry(int32_t i) const {
        const animal& eater = eaters_[i];
        return Feeding::satiety(eater) > eater.energy;
    }

    // Marks the look-ups whose cell holds prey and fetches their slots.
    // During the step slots are only ever emptied, so a look-up left unmarked
    // here finds nothing later either.
    void fetchSlots(int32_t i) {
        Aim& aim = aims_[i % kRing];
        aim.candidates = 0;
        if (!hungry(i)) return;
        for (int look = 0; look < kLookUps; ++look) {
            if (!slots_.occupied(aim.cells[look])) continue;
            aim.candidates |= uint64_t{1} << look;
            slots_.prefetchSlot(aim.cells[look]);
        }
    }

    // Keeps the candidates the eater could eat (a slot's defence never
    // changes while it is occupied) and fetches their prey and cells.
    void fetchPrey(int32_t i) {
        Aim& aim = aims_[i % kRing];
        const uint32_t ability = Feeding::ability(eaters_[i]);
        for (uint64_t rest = aim.candidates; rest != 0; rest &= rest - 1) {
            const int look = std::countr_zero(rest);
            const Slot slot = slots_[aim.cells[look]];
            if (ability < defenceOf(slot)) {
                aim.candidates &= ~(uint64_t{1} << look);
                continue;
            }
            __builtin_prefetch(&prey_[indexOf(slot)], 1);
            __builtin_prefetch(&E.nutrient[aim.cells[look]], 1);
        }
    }

    // The look-ups in order: while the eater is below its satiety level it
    // eats what it can eat. Look-ups that are no candidate find nothing, so
    // only the candidates are visited; hunger is tested before each of them
    // as before every look-up.
    int32_t feed(int32_t i) {
        animal& eater = eaters_[i];
        const Aim& aim = aims_[i % kRing];
        const float satiety = Feeding::satiety(eater);
        const float coefficient =
            static_cast<float>(field(eater.chrom1, genes::animalAbsorption) + 1) /
            Feeding::kDivisor;
        int32_t eaten = 0;
        for (uint64_t rest = aim.candidates; rest != 0; rest &= rest - 1) {
            if (!(satiety > eater.energy)) break;
            const int32_t cell = aim.cells[std::countr_zero(rest)];
            if (!slots_.occupied(cell)) continue;  // eaten by an earlier eater
            auto& q = prey_[indexOf(slots_[cell])];
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

    // One eater's look-ups: the target cells, and which may hold its food.
    struct Aim {
        int32_t cells[kLookUps];
        uint64_t candidates;
    };
    static_assert(kLookUps <= 64);

    animal* eaters_;
    int32_t count_;
    typename Feeding::Prey* prey_;
    SlotLayer& slots_;
    Aim aims_[kRing];
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
