#include "sim/die.h"

#include <array>

#include "sim/cycle_params.h"
#include "world/counters.h"
#include "world/genes.h"
#include "world/grid.h"
#include "world/lists.h"

namespace kesmir {

SurvivorTally plantSurvivors;
SurvivorTally herbivoreSurvivors;
SurvivorTally carnivoreSurvivors;

namespace {

// Marks the dead among records [begin, end); returns how many died of old
// age and counts the records left alive. The count is kept in a local and
// stored once: the pieces' counts share a cache line, and storing each
// record's count there made two threads slower than one.
template <class Record>
int32_t markDead(Record* list, int32_t begin, int32_t end, GeneField senescenceGene, int32_t offset,
                 int32_t& aliveInPiece) {
    int32_t oldAge = 0;
    int32_t alive = 0;
    for (int32_t i = begin; i < end; ++i) {
        Record& r = list[i];
        const int32_t senescentAge = static_cast<int32_t>(field(r.chrom1, senescenceGene)) + offset;
        if (r.energy < 0.0f) {
            r.alive = 0;
        } else if (r.age > senescentAge) {
            // The level is replaced, not added to.
            setNutrient(cellIndex(r.x, r.y), r.energy);
            r.alive = 0;
            ++oldAge;
        }
        alive += r.alive != 0;
    }
    aliveInPiece = alive;
    return oldAge;
}

// One kind's deaths, piece by piece; the pieces' survivors are tallied for
// the cull. Pieces run together only when no two records share a cell, as
// the last of several old-age deaths on one cell sets its level.
template <class Record>
int32_t markDeadKind(Record* list, int32_t count, GeneField senescenceGene, int32_t offset,
                     const SlotLayer& slots, SurvivorTally& survivors) {
    const Pieces pieces = recordPieces(count);
    std::array<int32_t, kMaxRecordPieces> oldAge;
    runPieces(pieces.size(), !slots.recordsMayShareCells(), [&](int32_t p) {
        oldAge[p] = markDead(list, pieces.begin(p), pieces.end(p), senescenceGene, offset,
                             survivors.alive[p]);
    });
    survivors.list = list;
    survivors.count = count;
    int32_t total = 0;
    for (int32_t p = 0; p < pieces.size(); ++p)
        total += oldAge[p];
    return total;
}

}  // namespace

void die() {
    const ParameterSet& params = cycleParams();
    markDeadKind<plant>(PL, Ppop, genes::plantSenescence, params.PNoffset, E.plant, plantSurvivors);
    markDeadKind<animal>(HL, Hpop, genes::animalSenescence, params.HNoffset, E.herbivore,
                         herbivoreSurvivors);
    Ceat = 0;
    Ceat = markDeadKind<animal>(CL, Cpop, genes::animalSenescence, params.CNoffset, E.carnivore,
                                carnivoreSurvivors);
}

}  // namespace kesmir
