#include "sim/eat.h"

#include <bit>

#include "sim/feeding.h"
#include "sim/parallel/list_pieces.h"
#include "sim/parallel/worker_pool.h"
#include "sim/step_timings.h"
#include "world/counters.h"

namespace kesmir {

namespace {

void plantsAbsorb(plant* plants, int32_t begin, int32_t end, float satietyOffset) {
    constexpr int32_t kAhead = 48;
    for (int32_t i = begin; i < end; ++i) {
        if (i + kAhead < end) {
            const plant& next = plants[i + kAhead];
            prefetchLine(&E.nutrient[cellIndex(next.x, next.y)]);
        }
        plant& p = plants[i];
        const float satiety =
            static_cast<float>(field(p.chrom1, genes::plantSatiety)) + satietyOffset;
        if (!(satiety > p.energy)) continue;
        const float a = static_cast<float>(field(p.chrom1, genes::plantAbsorption) + 1) / 15.0f;
        const int32_t cell = cellIndex(p.x, p.y);
        const float n = nutrientAt(cell);
        p.energy = n * a + p.energy;
        setNutrient(cell, n - n * a);
    }
}

// Every eater makes its look-ups one after another and eats what it finds
// while it is below its satiety level. The look-ups' draws never depend on
// what is found, so the target cells of the next eaters are worked out ahead
// and their slots, and then the prey records the slots name, are fetched
// from memory while earlier eaters feed: the cycle's random look-ups overlap
// instead of waiting on memory one by one. The draws are taken in exactly
// the order of a plain pass: eater by eater, look-up by look-up.
//
// The pipeline of several threads (feeding_pipeline.cpp) also runs on one,
// and gives the same bits, but there it measured some 5% slower on this
// step (2% of a cycle): so one thread keeps this pass. The parallel-steps
// tests hold the two to the same bits.
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

    void aim(int32_t i) {
        LocalRandom random;
        // A satiated eater's look-ups find nothing it eats; only their draws
        // count, and those are skipped in one jump.
        if (hungry(i)) {
            aimLookUps<Feeding>(eaters_[i], random, aims_[i % kRing].cells, slots_);
        } else {
            random.skip(kLookUpDraws<Feeding>);
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
            prefetchLine(&prey_[indexOf(slot)]);
            prefetchLine(&E.nutrient[aim.cells[look]]);
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
        const float coefficient = absorptionCoefficient<Feeding>(eater);
        int32_t eaten = 0;
        for (uint64_t rest = aim.candidates; rest != 0; rest &= rest - 1) {
            if (!(satiety > eater.energy)) break;
            const int32_t cell = aim.cells[std::countr_zero(rest)];
            if (!slots_.occupied(cell)) continue;  // eaten by an earlier eater
            takePrey(eater, prey_[indexOf(slots_[cell])], coefficient, cell, slots_);
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
    // Piece by piece, on all threads when every plant has a cell of its own.
    plant* plants = PL;
    const float satietyOffset = cycleParams().PSoffset;
    const Pieces pieces = recordPieces(Ppop);
    runPieces(pieces.size(), !E.plant.recordsMayShareCells(), [&](int32_t p) {
        plantsAbsorb(plants, pieces.begin(p), pieces.end(p), satietyOffset);
    });
    if (simulationThreads() > 1) {
        Peat = grazeOnAllThreads(HL, Hpop);
        Heat = huntOnAllThreads(CL, Cpop);
        return;
    }
    SerialTimer t(stepTimings, Step::eat);
    Peat = Feeder<Grazing>(HL, Hpop, PL, E.plant).run();
    Heat = Feeder<Hunting>(CL, Cpop, HL, E.herbivore).run();
}

}  // namespace kesmir
