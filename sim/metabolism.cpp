#include "sim/metabolism.h"

#include <algorithm>
#include <array>

#include "sim/counted_sum.h"
#include "sim/cycle_params.h"
#include "sim/parallel/list_pieces.h"
#include "sim/parallel/worker_pool.h"
#include "world/counters.h"
#include "world/genes.h"
#include "world/lists.h"

namespace kesmir {

namespace {

// Every piece of a list is charged on its own, on any thread, with each cost
// a table entry for its gene value. The total, which must come out as a
// single pass adds it, is taken block by block in list order: from the
// block's counts of each gene value where that gives the same bits,
// otherwise one record after another. On one thread this measured within a
// millisecond of a plain pass that adds every cost as it goes (a third of a
// percent of a cycle, either way from run to run), so it serves every count.
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

}  // namespace

float metabolize() {
    const ParameterSet& params = cycleParams();
    KindCharge<plant> plants(PL, Ppop, genes::plantMetabolism, params.PMoffset, blockCounts[0]);
    KindCharge<animal> herbivores(HL, Hpop, genes::animalMetabolism, params.HMoffset,
                                  blockCounts[1]);
    KindCharge<animal> carnivores(CL, Cpop, genes::animalMetabolism, params.CMoffset,
                                  blockCounts[2]);
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

}  // namespace kesmir
