#include "sim/reproduce.h"

#include <bit>

#include "sim/cell_log.h"
#include "sim/worker_pool.h"

#include "world/counters.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

namespace kesmir {

namespace {

// Adds a share of an energy to a cell, in double precision, stored in single.
void giveToCell(int32_t cell, double share) {
    setNutrient(cell, static_cast<float>(static_cast<double>(nutrientAt(cell)) + share));
}

// The reproducing parent's energy less the given fraction, in double precision.
void takeFrom(float& energy, double fraction) {
    energy = static_cast<float>(static_cast<double>(energy) - fraction * energy);
}

// The newborn's energy: an eighth of each parent's, the second added in
// double precision and the sum stored in single.
float newbornEnergy(float parent, float mate) {
    float energy = static_cast<float>(0.125 * parent);
    energy = static_cast<float>(static_cast<double>(energy) + 0.125 * mate);
    return energy;
}

// The first cell with an empty slot on rings of growing distance around p,
// E to SE within each ring; the last candidate is taken untested.
int32_t newbornCell(vt p, SlotLayer& slots, int32_t nearest, int32_t farthest) {
    for (int32_t k = nearest; k <= farthest; ++k) {
        for (int e = 1; e <= 8; ++e) {
            const int32_t cell = cellIndex(bound(sum(p, scale(k, dir[e]))));
            if (!slots.occupied(cell)) return cell;
            if (k == farthest && e == 8) {
                slots.noteNewbornsSharing();
                return cell;
            }
        }
    }
    return -1;  // not reached: the last candidate is always taken
}

// Where a birth's writes to the nutrient layer and to the newborn's slot go.
// On one thread, straight to the grid.
struct DirectWrites {
    // The cell gains a sixteenth of the energy.
    void give(int32_t cell, float energy) { giveToCell(cell, 0.0625 * energy); }
    void fetch(int32_t cell) { prefetchLine(&E.nutrient[cell]); }
    void place(SlotLayer& slots, int32_t cell, Slot slot) { slots.set(cell, slot); }
};

// On several threads, to a log that another thread applies in order: the
// chain sets only the newborn's occupancy bit, which is all that the search
// for free cells reads. A log entry names its target above the cell index.
constexpr int kTargetShift = 24;  // cell indices stay below 2^24
constexpr int32_t kCellMask = (1 << kTargetShift) - 1;
SlotLayer* const kTargetLayers[] = {nullptr, &E.plant, &E.herbivore, &E.carnivore};

struct LoggedWrites {
    CellLog& log;
    void give(int32_t cell, float energy) { log.push(cell, std::bit_cast<uint32_t>(energy)); }
    void fetch(int32_t) {}
    void place(SlotLayer& slots, int32_t cell, Slot slot) {
        slots.markOccupied(cell);
        const int32_t target = &slots == &E.plant ? 1 : &slots == &E.herbivore ? 2 : 3;
        log.push(target << kTargetShift | cell, slot);
    }
};

void applyLogged(const CellLog::Entry& e) {
    const int32_t cell = e.cell & kCellMask;
    if (SlotLayer* layer = kTargetLayers[e.cell >> kTargetShift]) {
        layer->setSlot(cell, e.value);
    } else {
        giveToCell(cell, 0.0625 * std::bit_cast<float>(e.value));
    }
}

void fetchLogged(const CellLog::Entry& e) {
    const int32_t cell = e.cell & kCellMask;
    if (SlotLayer* layer = kTargetLayers[e.cell >> kTargetShift]) {
        layer->prefetchForWriting(cell);
    } else {
        prefetchLine(&E.nutrient[cell]);
    }
}

// draw mod count. A draw is below 32768, so in a list longer than that it
// is its own remainder, and the division is spared.
int32_t mateIndex(int32_t count) {
    const int32_t d = draw();
    return count > 32767 ? d : d % count;
}

template <class Writes>
void reproducePlants(Writes& writes) {
    plant* plants = PL;
    const int32_t count = Ppop;
    if (count > kReproductionGuard) return;
    auto qualifies = [](const plant& p) { return p.age > 2 && p.energy > PRenergy; };
    int32_t n = 0;
    for (int32_t j = 0; j < count; ++j) {
        plant& parent = plants[j];
        if (!qualifies(parent)) continue;
        plant& mate = plants[mateIndex(count)];
        if (!qualifies(mate)) continue;
        writes.fetch(cellIndex(mate.x, mate.y));

        const int32_t cell = newbornCell(vt{parent.x, parent.y}, E.plant, 5, 25);
        plant& child = NP[n];
        child.x = cell % kWorldSide;
        child.y = cell / kWorldSide;
        child.energy = newbornEnergy(parent.energy, mate.energy);
        child.chrom1 = crossover(parent.chrom1, mate.chrom1);
        child.chrom2 = crossover(parent.chrom2, mate.chrom2);
        child.GM = parent.GM;
        child.alive = 1;
        child.age = 1;

        writes.give(cellIndex(parent.x, parent.y), parent.energy);
        writes.give(cellIndex(mate.x, mate.y), mate.energy);
        takeFrom(parent.energy, 0.1875);
        takeFrom(mate.energy, 0.1875);

        writes.place(E.plant, cell, slotFor(child, n));  // taken for the parents that follow
        ++n;
    }
    newPpop = n;
}

// The settled differences between herbivores and carnivores.
struct AnimalKind {
    const RelaxedAtomic<float>& threshold;
    const RelaxedAtomic<int32_t>& maturityOffset;
    SlotLayer& slots;
    int32_t nearest;
    int32_t farthest;
    bool herbivore;  // selects the crossover order of the gene words
};

template <class Writes>
int32_t reproduceAnimals(animal* animals, int32_t count, animal* newborns, const AnimalKind& kind,
                         Writes& writes) {
    if (count > kReproductionGuard) return 0;
    auto qualifies = [&kind](const animal& a) {
        const int32_t maturity =
            static_cast<int32_t>(field(a.chrom1, genes::animalMaturity)) + kind.maturityOffset;
        return a.age > maturity && a.energy > kind.threshold;
    };
    int32_t n = 0;
    for (int32_t j = 0; j < count; ++j) {
        animal& parent = animals[j];
        if (!qualifies(parent)) continue;
        animal& mate = animals[mateIndex(count)];
        if (!qualifies(mate)) continue;
        writes.fetch(cellIndex(mate.x, mate.y));

        const int32_t cell =
            newbornCell(vt{parent.x, parent.y}, kind.slots, kind.nearest, kind.farthest);
        animal& child = newborns[n];
        child.x = cell % kWorldSide;
        child.y = cell / kWorldSide;
        child.energy = newbornEnergy(parent.energy, mate.energy);
        child.chrom1 = crossover(parent.chrom1, mate.chrom1);
        if (kind.herbivore) {
            child.chrom4 = crossover(parent.chrom4, mate.chrom4);
            child.chrom3 = crossover(parent.chrom3, mate.chrom3);
            child.chrom2 = crossover(parent.chrom2, mate.chrom2);
        } else {
            child.chrom3 = crossover(parent.chrom3, mate.chrom3);
            child.chrom2 = crossover(parent.chrom2, mate.chrom2);
            child.chrom4 = crossover(parent.chrom4, mate.chrom4);
        }
        child.GM = parent.GM;
        child.alive = 1;
        child.age = 1;

        // The starting parent also feeds the newborn's cell, so it gives a
        // quarter in all against the mate's three sixteenths.
        writes.give(cellIndex(parent.x, parent.y), parent.energy);
        writes.give(cellIndex(mate.x, mate.y), mate.energy);
        writes.give(cell, parent.energy);
        takeFrom(parent.energy, 0.25);
        takeFrom(mate.energy, 0.1875);

        writes.place(kind.slots, cell, slotFor(child, n));
        ++n;
    }
    return n;
}

template <class Writes>
void reproduceAll(Writes& writes) {
    reproducePlants(writes);
    newHpop = reproduceAnimals(HL, Hpop, NH,
                               AnimalKind{HRenergy, HAoffset, E.herbivore, 4, 14, true}, writes);
    newCpop = reproduceAnimals(CL, Cpop, NC,
                               AnimalKind{CRenergy, CAoffset, E.carnivore, 3, 9, false}, writes);
}

}  // namespace

void reproduce() {
    newPpop = 0;
    newHpop = 0;
    newCpop = 0;
    if (simulationThreads() == 1) {
        DirectWrites writes;
        reproduceAll(writes);
        return;
    }
    CellLog::runChain(
        [](CellLog& log) {
            LoggedWrites writes{log};
            reproduceAll(writes);
        },
        applyLogged, fetchLogged);
}

}  // namespace kesmir
