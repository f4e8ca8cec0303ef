#include "sim/reproduce.h"

#include "sim/cycle_params.h"
#include "sim/parallel/ordered_log.h"
#include "sim/parallel/worker_pool.h"
#include "sim/step_timings.h"
#include "world/counters.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/prefetch.h"
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

// What a birth does beyond its parents' records: the search for the
// newborn's cell, the nutrient levels of the parents' cells (and, for
// animals, of the newborn's cell) and the newborn's slot. None of it feeds
// the decisions of later parents but the occupancy bit of the newborn's
// cell, which only later searches read; so it can be done one birth after
// another apart from the parents' chain, in the chain's order.
struct Placement {
    int32_t x, y;        // the starting parent's cell, where the search starts
    float parentEnergy;  // the parents' energies before they give
    int32_t mateCell;
    float mateEnergy;
    int32_t child;  // index in its newborn list
    int32_t kind;   // 0 plants, 1 herbivores, 2 carnivores
};

// The settled differences between the kinds in placing a newborn.
struct PlacingKind {
    SlotLayer* slots;
    int32_t nearest;
    int32_t farthest;
    bool feedsNewbornCell;  // the starting animal also feeds the newborn's cell
};
const PlacingKind kPlacing[] = {
    {&E.plant, 5, 25, false}, {&E.herbivore, 4, 14, true}, {&E.carnivore, 3, 9, true}};

template <class Record>
void placeNewborn(Record& child, int32_t index, const Placement& b, const PlacingKind& kind) {
    const int32_t cell = newbornCell(vt{b.x, b.y}, *kind.slots, kind.nearest, kind.farthest);
    child.x = cell % kWorldSide;
    child.y = cell / kWorldSide;
    giveToCell(cellIndex(b.x, b.y), 0.0625 * b.parentEnergy);
    giveToCell(b.mateCell, 0.0625 * b.mateEnergy);
    if (kind.feedsNewbornCell) giveToCell(cell, 0.0625 * b.parentEnergy);
    kind.slots->set(cell, slotFor(child, index));  // taken for the parents that follow
}

void placeBirth(const Placement& b) {
    const PlacingKind& kind = kPlacing[b.kind];
    if (b.kind == 0) {
        placeNewborn(NP[b.child], b.child, b, kind);
    } else {
        placeNewborn((b.kind == 1 ? NH : NC)[b.child], b.child, b, kind);
    }
}

// Asks memory for what placing a birth will touch first.
void fetchPlacement(const Placement& b) {
    const PlacingKind& kind = kPlacing[b.kind];
    const int32_t firstCandidate = cellIndex(bound(vt{b.x + kind.nearest, b.y}));
    kind.slots->prefetchBit(firstCandidate);
    kind.slots->prefetchSlot(firstCandidate);
    prefetchLine(&E.nutrient[cellIndex(b.x, b.y)]);
    prefetchLine(&E.nutrient[b.mateCell]);
}

// On one thread a birth is placed a few births after the chain made it,
// once what it touches first has been asked for: placing one birth after
// another in the chain's order gives what placing each at once gives, as the
// chain reads nothing that placing writes.
class PlaceSoon {
  public:
    // Fetching the next mates early measured no faster here, where the
    // births' own writes already keep memory busy.
    static constexpr bool kFetchMates = false;
    void operator()(const Placement& b) {
        if (waiting_ == kDelay) {
            placeBirth(pending_[first_]);
            first_ = (first_ + 1) % kDelay;
            --waiting_;
        }
        fetchPlacement(b);
        pending_[(first_ + waiting_) % kDelay] = b;
        ++waiting_;
    }
    // Places the births still waiting, in order.
    void finish() {
        for (; waiting_ > 0; --waiting_) {
            placeBirth(pending_[first_]);
            first_ = (first_ + 1) % kDelay;
        }
    }

  private:
    static constexpr int kDelay = 16;
    Placement pending_[kDelay];
    int first_ = 0;
    int waiting_ = 0;
};

// On several threads a birth is handed to another thread, which places the
// births in the same order.
struct HandOver {
    OrderedLog<Placement>& log;
    static constexpr bool kFetchMates = true;
    void operator()(const Placement& b) { log.push(b); }
};

// How many records ahead the parents' chain asks for the next parents.
constexpr int32_t kParentsAhead = 32;

// draw mod count. A draw is below 32768, so in a list longer than that it
// is its own remainder, and the division is spared.
int32_t mateOf(int32_t d, int32_t count) {
    return count > 32767 ? d : d % count;
}
int32_t mateIndex(int32_t count) {
    return mateOf(draw(), count);
}

// Asks memory early for the mates the next parents will draw. A mate is a
// random record, and testing it waited on memory more than anything else in
// the chain. Most parents draw a mate that does not qualify, which takes one
// draw; so the next parents' mates are predicted by assuming exactly that,
// and predicted again from the true state after a birth, which takes more
// draws. A wrong prediction only fetches a record in vain.
template <class Record>
class MateFetcher {
  public:
    MateFetcher(const Record* list, int32_t count) : list_(list), count_(count) {}

    // Just before a parent draws its mate.
    void beforeDraw() {
        const uint32_t state = randState;
        if (state != expected_) {
            predicted_ = state;
            for (int k = 0; k < kAhead; ++k)
                fetchAfterStep();
        } else {
            fetchAfterStep();
        }
        expected_ = kOneDraw.apply(state);
    }

  private:
    static constexpr int kAhead = 8;
    static constexpr RandomJump kOneDraw = RandomJump::of(1);

    void fetchAfterStep() {
        LocalRandom random(predicted_);
        prefetchLine(&list_[mateOf(random.draw(), count_)]);
        predicted_ = random.state();
    }

    const Record* list_;
    int32_t count_;
    uint32_t expected_ = 0;   // the state the next parent starts from if this one takes one draw
    uint32_t predicted_ = 0;  // the state after the last draw whose mate was asked for
};

template <class Place>
void reproducePlants(Place& place) {
    plant* plants = PL;
    const int32_t count = Ppop;
    if (count > kReproductionGuard) return;
    const float threshold = cycleParams().PRenergy;
    auto qualifies = [threshold](const plant& p) { return p.age > 2 && p.energy > threshold; };
    int32_t n = 0;
    MateFetcher<plant> mates(plants, count);
    for (int32_t j = 0; j < count; ++j) {
        if (j + kParentsAhead < count) prefetchLine(&plants[j + kParentsAhead]);
        plant& parent = plants[j];
        if (!qualifies(parent)) continue;
        if constexpr (Place::kFetchMates) mates.beforeDraw();
        plant& mate = plants[mateIndex(count)];
        if (!qualifies(mate)) continue;

        plant& child = NP[n];
        child.energy = newbornEnergy(parent.energy, mate.energy);
        child.chrom1 = crossover(parent.chrom1, mate.chrom1);
        child.chrom2 = crossover(parent.chrom2, mate.chrom2);
        child.GM = parent.GM;
        child.alive = 1;
        child.age = 1;
        place(Placement{parent.x, parent.y, parent.energy, cellIndex(mate.x, mate.y), mate.energy,
                        n, 0});
        takeFrom(parent.energy, 0.1875);
        takeFrom(mate.energy, 0.1875);
        ++n;
    }
    newPpop = n;
}

// The settled differences between herbivores and carnivores in choosing
// their parents and making their newborns.
struct AnimalKind {
    float threshold;
    int32_t maturityOffset;
    int32_t kind;    // as in Placement
    bool herbivore;  // selects the crossover order of the gene words
};

template <class Place>
int32_t reproduceAnimals(animal* animals, int32_t count, animal* newborns, const AnimalKind& kind,
                         Place& place) {
    if (count > kReproductionGuard) return 0;
    auto qualifies = [&kind](const animal& a) {
        const int32_t maturity =
            static_cast<int32_t>(field(a.chrom1, genes::animalMaturity)) + kind.maturityOffset;
        return a.age > maturity && a.energy > kind.threshold;
    };
    int32_t n = 0;
    MateFetcher<animal> mates(animals, count);
    for (int32_t j = 0; j < count; ++j) {
        if (j + kParentsAhead < count) prefetchLine(&animals[j + kParentsAhead]);
        animal& parent = animals[j];
        if (!qualifies(parent)) continue;
        if constexpr (Place::kFetchMates) mates.beforeDraw();
        animal& mate = animals[mateIndex(count)];
        if (!qualifies(mate)) continue;

        animal& child = newborns[n];
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
        place(Placement{parent.x, parent.y, parent.energy, cellIndex(mate.x, mate.y), mate.energy,
                        n, kind.kind});
        takeFrom(parent.energy, 0.25);
        takeFrom(mate.energy, 0.1875);
        ++n;
    }
    return n;
}

template <class Place>
void reproduceAll(Place& place) {
    reproducePlants(place);
    const ParameterSet& params = cycleParams();
    newHpop = reproduceAnimals(HL, Hpop, NH, AnimalKind{params.HRenergy, params.HAoffset, 1, true},
                               place);
    newCpop = reproduceAnimals(CL, Cpop, NC, AnimalKind{params.CRenergy, params.CAoffset, 2, false},
                               place);
}

}  // namespace

void reproduce() {
    // The parents' chain, and the placing beside it, run in order.
    SerialTimer t(stepTimings, Step::reproduce);
    newPpop = 0;
    newHpop = 0;
    newCpop = 0;
    if (simulationThreads() == 1) {
        PlaceSoon place;
        reproduceAll(place);
        place.finish();
        return;
    }
    OrderedLog<Placement>::runChain(
        [](OrderedLog<Placement>& log) {
            HandOver place{log};
            reproduceAll(place);
        },
        placeBirth, fetchPlacement);
}

}  // namespace kesmir
