#include "sim/cull.h"

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "sim/die.h"
#include "sim/parallel/list_pieces.h"
#include "sim/trait_tally.h"
#include "world/counters.h"
#include "world/lists.h"

namespace kesmir {

namespace {

// What culling one piece of a list found.
struct PieceCull {
    int32_t kept = 0;
    float lowest = 100000.0f;
    float highest = -100000.0f;
    bool sharing = false;  // a survivor's cell did not name it
};

// Copies the living records [begin, end) of `from` to `to` from `at` on,
// points their cells at their new places and empties the cells of the dead;
// count(record) is called for each record dropped. kShared: other threads
// are changing other bits of the same bitmap words.
template <bool kShared, class Record, class Count>
PieceCull keepAlive(const Record* from, int32_t begin, int32_t end, Record* to, int32_t at,
                    SlotLayer& slots, Count count) {
    PieceCull piece;
    constexpr int32_t kAhead = 48;  // slots are written at random: ask for them early
    for (int32_t i = begin; i < end; ++i) {
        if (i + kAhead < end)
            slots.prefetchForWriting(cellIndex(from[i + kAhead].x, from[i + kAhead].y));
        const Record& r = from[i];
        const int32_t cell = cellIndex(r.x, r.y);
        if (r.alive) {
            if (piece.lowest > r.energy) piece.lowest = r.energy;
            if (r.energy > piece.highest) piece.highest = r.energy;
            const int32_t index = at + piece.kept;
            storeRecord(to[index], r);
            // A record's cell names it unless another record of the kind (or
            // a newborn) stands there too, or stood there last.
            if (slots[cell] != slotFor(r, i)) {
                piece.sharing = true;
                if constexpr (kShared) {
                    slots.markOccupiedShared(cell);
                } else {
                    slots.markOccupied(cell);
                }
            }
            slots.setSlot(cell, slotFor(r, index));
            ++piece.kept;
        } else {
            count(r);
            slots.setSlot(cell, kEmpty);
            if constexpr (kShared) {
                slots.markEmptyShared(cell);
            } else {
                slots.markEmpty(cell);
            }
        }
    }
    return piece;
}

template <class Record>
int32_t countAlive(const Record* list, int32_t begin, int32_t end) {
    int32_t alive = 0;
    for (int32_t i = begin; i < end; ++i)
        alive += list[i].alive != 0;
    return alive;
}

// Tasks handed out to every thread; the first added are taken first.
class Tasks {
  public:
    void push(std::function<void()> task) { tasks_.push_back(std::move(task)); }

    // One task a piece when the pieces may run together, else one task that
    // works them in order.
    void pushPieces(int32_t pieces, bool together, const std::function<void(int32_t)>& work) {
        if (together) {
            for (int32_t p = 0; p < pieces; ++p)
                push([work, p] { work(p); });
        } else if (pieces > 0) {
            push([work, pieces] {
                for (int32_t p = 0; p < pieces; ++p)
                    work(p);
            });
        }
    }

    void run() {
        forEachPiece(static_cast<int32_t>(tasks_.size()), [this](int32_t t) { tasks_[t](); });
    }

  private:
    std::vector<std::function<void()>> tasks_;
};

// Culling of one kind, cut into pieces. The three kinds touch nothing in
// common, so their pieces are all handed out at once; a kind whose records
// may share cells is culled in one task, piece after piece in list order, as
// the last record on a cell decides what its slot names. While the trait
// counts are kept up to date, each piece counts the records it drops.
template <class Record>
class KindCull {
  public:
    KindCull(const Record* from, int32_t count, Record* to, SlotLayer& slots, SurvivorTally& tally,
             Kind kind, TraitTally::Stage stage)
        : from_(from),
          to_(to),
          slots_(slots),
          pieces_(recordPieces(count)),
          together_(!slots.recordsMayShareCells() && simulationThreads() > 1),
          kind_(kind),
          traitBins_(traitTally.prepare(stage, pieces_.size())) {
        if (!tally.describes(from, count)) {
            forEachPiece(pieces_.size(), [&](int32_t p) {
                tally.alive[p] = countAlive(from, pieces_.begin(p), pieces_.end(p));
            });
        }
        tally.list = nullptr;  // the alive flags are the next cycle's
        kept_ = 0;
        for (int32_t p = 0; p < pieces_.size(); ++p) {
            at_[p] = kept_;
            kept_ += tally.alive[p];
        }
    }

    // Adds this kind's tasks: one per piece, or one for all.
    void addTasks(Tasks& tasks) {
        tasks.pushPieces(pieces_.size(), together_, [this](int32_t p) { cullPiece(p); });
    }

    // Returns whether any survivor shared its cell.
    bool finish(int32_t& kept, float& lowest, float& highest) const {
        // Piece by piece in list order with the same strict tests: the
        // extremes a single pass finds.
        lowest = 100000.0f;
        highest = -100000.0f;
        bool sharing = false;
        for (int32_t p = 0; p < pieces_.size(); ++p) {
            if (lowest > found_[p].lowest) lowest = found_[p].lowest;
            if (found_[p].highest > highest) highest = found_[p].highest;
            sharing = sharing || found_[p].sharing;
        }
        kept = kept_;
        return sharing;
    }

  private:
    void cullPiece(int32_t p) {
        TraitBins* bins = traitBins_ == nullptr ? nullptr : traitBins_ + p;
        withTraitCounter<Record>(kind_, bins, [&](auto count) {
            const int32_t begin = pieces_.begin(p), end = pieces_.end(p);
            found_[p] = together_ ? keepAlive<true>(from_, begin, end, to_, at_[p], slots_, count)
                                  : keepAlive<false>(from_, begin, end, to_, at_[p], slots_, count);
        });
    }

    const Record* from_;
    Record* to_;
    SlotLayer& slots_;
    Pieces pieces_;
    bool together_;
    Kind kind_;
    TraitBins* traitBins_;  // one per piece, or null when not counting
    int32_t kept_;
    std::array<int32_t, kMaxRecordPieces> at_;  // where each piece's survivors go
    std::array<PieceCull, kMaxRecordPieces> found_;
};

template <bool kShared, class Record, class Count>
void append(const Record* newborns, int32_t begin, int32_t end, Record* to, int32_t behind,
            SlotLayer& slots, Count count) {
    constexpr int32_t kAhead = 48;
    for (int32_t i = begin; i < end; ++i) {
        if (i + kAhead < end)
            slots.prefetchForWriting(cellIndex(newborns[i + kAhead].x, newborns[i + kAhead].y));
        storeRecord(to[behind + i], newborns[i]);
        count(newborns[i]);
        const int32_t cell = cellIndex(newborns[i].x, newborns[i].y);
        slots.setSlot(cell, slotFor(newborns[i], behind + i));
        if (slots.occupied(cell)) continue;  // the bit may have gone with a dead record
        if constexpr (kShared) {
            slots.markOccupiedShared(cell);
        } else {
            slots.markOccupied(cell);
        }
    }
}

// Insertion of one kind's newborns, likewise.
template <class Record>
class KindAppend {
  public:
    KindAppend(const Record* newborns, int32_t count, Record* to, int32_t behind, SlotLayer& slots,
               Kind kind, TraitTally::Stage stage)
        : newborns_(newborns),
          to_(to),
          behind_(behind),
          slots_(slots),
          pieces_(recordPieces(count)),
          together_(!slots.newbornsMayShareCells() && simulationThreads() > 1),
          kind_(kind),
          traitBins_(traitTally.prepare(stage, pieces_.size())) {}

    void addTasks(Tasks& tasks) {
        tasks.pushPieces(pieces_.size(), together_, [this](int32_t p) { appendPiece(p); });
    }

  private:
    void appendPiece(int32_t p) {
        TraitBins* bins = traitBins_ == nullptr ? nullptr : traitBins_ + p;
        withTraitCounter<Record>(kind_, bins, [&](auto count) {
            const int32_t begin = pieces_.begin(p), end = pieces_.end(p);
            if (together_) {
                append<true>(newborns_, begin, end, to_, behind_, slots_, count);
            } else {
                append<false>(newborns_, begin, end, to_, behind_, slots_, count);
            }
        });
    }

    const Record* newborns_;
    Record* to_;
    int32_t behind_;
    SlotLayer& slots_;
    Pieces pieces_;
    bool together_;
    Kind kind_;
    TraitBins* traitBins_;
};

// Whether the last cull found survivors sharing cells, per kind; assumed
// when insertion runs without a cull before it.
std::array<bool, 3> survivorsShared{true, true, true};

}  // namespace

void cull() {
    traitTally.open(kk);
    KindCull<plant> plants(PL, Ppop, OPL, E.plant, plantSurvivors, Kind::plant,
                           TraitTally::plantDeaths);
    KindCull<animal> herbivores(HL, Hpop, OHL, E.herbivore, herbivoreSurvivors, Kind::herbivore,
                                TraitTally::herbivoreDeaths);
    KindCull<animal> carnivores(CL, Cpop, OCL, E.carnivore, carnivoreSurvivors, Kind::carnivore,
                                TraitTally::carnivoreDeaths);
    Tasks tasks;
    // The larger single tasks first, so that they start at once.
    herbivores.addTasks(tasks);
    carnivores.addTasks(tasks);
    plants.addTasks(tasks);
    tasks.run();
    int32_t keptPlants, keptHerbivores, keptCarnivores;
    survivorsShared[0] = plants.finish(keptPlants, pmin, pmax);
    survivorsShared[1] = herbivores.finish(keptHerbivores, hmin, hmax);
    survivorsShared[2] = carnivores.finish(keptCarnivores, cmin, cmax);
    Ppop = keptPlants;
    Hpop = keptHerbivores;
    Cpop = keptCarnivores;
}

void addNew() {
    KindAppend<plant> plants(NP, newPpop, OPL, Ppop, E.plant, Kind::plant, TraitTally::plantBirths);
    KindAppend<animal> herbivores(NH, newHpop, OHL, Hpop, E.herbivore, Kind::herbivore,
                                  TraitTally::herbivoreBirths);
    KindAppend<animal> carnivores(NC, newCpop, OCL, Cpop, E.carnivore, Kind::carnivore,
                                  TraitTally::carnivoreBirths);
    Tasks tasks;
    herbivores.addTasks(tasks);
    carnivores.addTasks(tasks);
    plants.addTasks(tasks);
    tasks.run();
    E.plant.settleSharing(survivorsShared[0]);
    E.herbivore.settleSharing(survivorsShared[1]);
    E.carnivore.settleSharing(survivorsShared[2]);
    survivorsShared = {true, true, true};
    Ppop += newPpop;
    Hpop += newHpop;
    Cpop += newCpop;
    traitTally.close(Ppop, Hpop, Cpop);
}

}  // namespace kesmir
