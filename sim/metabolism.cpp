#include "sim/metabolism.h"

#include <algorithm>
#include <array>

#include "sim/counted_sum.h"
#include "sim/list_pieces.h"
#include "sim/worker_pool.h"
#include "world/counters.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/params.h"

namespace kesmir {

namespace {

template <class Record>
void charge(Record* list, int32_t count, GeneField costGene, const RelaxedAtomic<float>& offset,
            float& total) {
    for (int32_t i = 0; i < count; ++i) {
        Record& r = list[i];
        r.age += 1;
        const float cost = static_cast<float>(field(r.chrom1, costGene)) + offset;
        r.energy = r.energy - cost;
        total += cost;
    }
}

// On several threads every piece of a list is charged on its own, with
// each cost a table entry for its gene value. The total, which must come out
// as a single pass adds it, is taken block by block in list order: from the
// block's counts of each gene value where that gives the same bits,
// otherwise one record after another.
constexpr int32_t kBlock = 4096;  // records
constexpr int32_t kMaxBlocks = (kListCapacity - 1) / kBlock + 1;
static_assert(kRecordsPerPiece % kBlock == 0);
constexpr int kCostValues = 8;  // three bits at most

struct CostTable {
    float cost[kCostValues];
    GeneField gene;
};

template <class Record>
class KindCharge {
  public:
    KindCharge(Record* list, int32_t count, GeneField gene, float offset,
               std::array<std::array<uint32_t, kCostValues>, kMaxBlocks>& counts)
        : list_(list), count_(count), counts_(counts) {
        table_.gene = gene;
        for (int v = 0; v < kCostValues; ++v)
            table_.cost[v] = static_cast<float>(v) + offset;
    }

    Pieces pieces() const { return recordPieces(count_); }

    void chargePiece(int32_t p) {
        const Pieces all = pieces();
        for (int32_t begin = all.begin(p); begin < all.end(p); begin += kBlock) {
            auto& counts = counts_[begin / kBlock];
            counts.fill(0);
            const int32_t end = std::min(all.end(p), begin + kBlock);
            for (int32_t i = begin; i < end; ++i) {
                Record& r = list_[i];
                r.age += 1;
                const uint32_t v = field(r.chrom1, table_.gene);
                r.energy = r.energy - table_.cost[v];
                ++counts[v];
            }
        }
    }

    void addCosts(float& total) const {
        for (int32_t begin = 0; begin < count_; begin += kBlock) {
            if (addCounted(total, table_.cost, counts_[begin / kBlock].data(), kCostValues))
                continue;
            const int32_t end = std::min(count_, begin + kBlock);
            for (int32_t i = begin; i < end; ++i)
                total += table_.cost[field(list_[i].chrom1, table_.gene)];
        }
    }

  private:
    Record* list_;
    int32_t count_;
    CostTable table_;
    std::array<std::array<uint32_t, kCostValues>, kMaxBlocks>& counts_;
};

std::array<std::array<std::array<uint32_t, kCostValues>, kMaxBlocks>, 3> blockCounts;

float metabolizeInPieces() {
    // The offsets are read once for the whole step.
    KindCharge<plant> plants(PL, Ppop, genes::plantMetabolism, PMoffset, blockCounts[0]);
    KindCharge<animal> herbivores(HL, Hpop, genes::animalMetabolism, HMoffset, blockCounts[1]);
    KindCharge<animal> carnivores(CL, Cpop, genes::animalMetabolism, CMoffset, blockCounts[2]);
    const int32_t plantPieces = plants.pieces().size();
    const int32_t herbivorePieces = herbivores.pieces().size();
    forEachPiece(plantPieces + herbivorePieces + carnivores.pieces().size(), [&](int32_t p) {
        if (p < plantPieces) {
            plants.chargePiece(p);
        } else if (p < plantPieces + herbivorePieces) {
            herbivores.chargePiece(p - plantPieces);
        } else {
            carnivores.chargePiece(p - plantPieces - herbivorePieces);
        }
    });
    float total = 0.0f;
    plants.addCosts(total);
    herbivores.addCosts(total);
    carnivores.addCosts(total);
    return total;
}

// Marks the dead among records [begin, end); returns how many died of old
// age and counts the records left alive.
template <class Record>
int32_t markDead(Record* list, int32_t begin, int32_t end, GeneField senescenceGene,
                 const RelaxedAtomic<int32_t>& offset, int32_t& alive) {
    int32_t oldAge = 0;
    alive = 0;
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
    return oldAge;
}

// One kind's deaths, piece by piece; the pieces' survivors are tallied for
// the cull. Pieces run together only when no two records share a cell, as
// the last of several old-age deaths on one cell sets its level.
template <class Record>
int32_t markDeadKind(Record* list, int32_t count, GeneField senescenceGene,
                     const RelaxedAtomic<int32_t>& offset, const SlotLayer& slots,
                     SurvivorTally& survivors) {
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

float metabolize() {
    if (simulationThreads() > 1) return metabolizeInPieces();
    float total = 0.0f;
    charge<plant>(PL, Ppop, genes::plantMetabolism, PMoffset, total);
    charge<animal>(HL, Hpop, genes::animalMetabolism, HMoffset, total);
    charge<animal>(CL, Cpop, genes::animalMetabolism, CMoffset, total);
    return total;
}

namespace {

// Whole-grid sweeps are cut into this many cells a piece.
constexpr int32_t kCellsPerPiece = 1 << 18;
constexpr Pieces kCellPieces{kCells, kCellsPerPiece};

// Raises the levels of cells [begin, end) and returns the highest new level
// (-100000.0 if none is higher).
float replenishCells(int32_t begin, int32_t end, double inflow) {
    float highest = -100000.0f;
    float* nutrient = E.nutrient;
    for (int32_t cell = begin; cell < end; ++cell) {
        const float level =
            static_cast<float>(inflow + static_cast<double>(relaxedLoad(nutrient[cell])));
        relaxedStore(nutrient[cell], level);
        if (level > highest) highest = level;
    }
    return highest;
}

}  // namespace

void replenish(float total) {
    const float share = total / static_cast<float>(kCells);
    // 0.7 + share in double, plus the level in double, narrowed on store.
    const double inflow = 0.7 + static_cast<double>(share);
    std::array<float, (kCells - 1) / kCellsPerPiece + 1> highestOf;
    forEachPiece(kCellPieces.size(), [&](int32_t piece) {
        highestOf[piece] = replenishCells(kCellPieces.begin(piece), kCellPieces.end(piece), inflow);
    });
    // Taken piece by piece in cell order with the same strict test, the
    // highest is the one a single sweep finds.
    float highest = -100000.0f;
    for (const float h : highestOf)
        if (h > highest) highest = h;
    emax = highest;
}

void die() {
    markDeadKind<plant>(PL, Ppop, genes::plantSenescence, PNoffset, E.plant, plantSurvivors);
    markDeadKind<animal>(HL, Hpop, genes::animalSenescence, HNoffset, E.herbivore,
                         herbivoreSurvivors);
    Ceat = 0;
    Ceat = markDeadKind<animal>(CL, Cpop, genes::animalSenescence, CNoffset, E.carnivore,
                                carnivoreSurvivors);
}

}  // namespace kesmir
