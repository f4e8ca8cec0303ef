// Trait counts against a direct count of the same records: the fields the
// table names, the counting folded into culling and insertion, the default
// world, and every thread count alike.
#include <random>

#include "model/model_fixture.h"
#include "seed/seeding.h"
#include "sim/cull.h"
#include "sim/eco_node.h"
#include "sim/parallel/worker_pool.h"
#include "sim/trait_sampling.h"
#include "sim/trait_tally.h"
#include "stats/trait_history.h"

namespace kesmir::testing {
namespace {

// Every field of every record of the current lists, one at a time.
TraitBins directCount() {
    TraitBins bins{};
    const auto add = [&](Kind kind, std::array<uint32_t, 4> words) {
        for (int f = 0; f < kTraitFieldCount; ++f) {
            const TraitField& t = kTraitFields[f];
            if (t.kind == kind) ++bins[binOffset(f) + field(words[int(t.word)], t.bits)];
        }
    };
    for (int32_t i = 0; i < Ppop; ++i)
        add(Kind::plant, {PL[i].chrom1, PL[i].chrom2, 0, 0});
    for (int32_t i = 0; i < Hpop; ++i)
        add(Kind::herbivore, {HL[i].chrom1, HL[i].chrom2, HL[i].chrom3, HL[i].chrom4});
    for (int32_t i = 0; i < Cpop; ++i)
        add(Kind::carnivore, {CL[i].chrom1, CL[i].chrom2, CL[i].chrom3, CL[i].chrom4});
    return bins;
}

uint32_t countOf(const TraitCounts& counts, Kind kind, const char* trait, int value) {
    const int f = traitFieldIndex(kind, trait);
    EXPECT_GE(f, 0) << trait;
    return counts.at(f, value);
}

class TraitCountsTest : public ModelTest {
  protected:
    void TearDown() override {
        setSimulationThreads(1);
        traitSettings = {};
        traitHistory.clear();
    }
    ScratchDirectory scratch_;
};

TEST_F(TraitCountsTest, FieldsAreTheGeneTablesAndCountedAsADirectCountWould) {
    // One organism of each kind with telling words...
    addPlant(1, 1, 1, 3u | 5u << 7 | 9u << 22, 33u << 12 | 17u << 18);
    addHerbivore(2, 2, 1, 7u | 40u << 10 | 21u << 16, 61u << 12 | 2u << 6, 0,
                 6u << 21 | 1u << 0 | 4u << 28 | 3u << 24);
    addCarnivore(3, 3, 1, 13u << 10 | 30u << 22, 0, 44u, 5u << 15 | 7u << 28);
    const TraitCounts one = countTraits();
    EXPECT_EQ(countOf(one, Kind::plant, "metabolism", 3), 1u);
    EXPECT_EQ(countOf(one, Kind::plant, "absorption", 5), 1u);
    EXPECT_EQ(countOf(one, Kind::plant, "senescence", 9), 1u);
    EXPECT_EQ(countOf(one, Kind::plant, "poison", 33), 1u);
    EXPECT_EQ(countOf(one, Kind::plant, "spines", 17), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "metabolism", 7), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "satiety", 40), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "maturity", 21), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "resistance", 61), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "spine_eating", 2), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "weight_E", 6), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "weight_SE", 1), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "speed", 4), 1u);
    EXPECT_EQ(countOf(one, Kind::herbivore, "reach", 3), 1u);
    EXPECT_EQ(countOf(one, Kind::carnivore, "satiety", 13), 1u);
    EXPECT_EQ(countOf(one, Kind::carnivore, "senescence", 30), 1u);
    EXPECT_EQ(countOf(one, Kind::carnivore, "sight", 44), 1u);
    EXPECT_EQ(countOf(one, Kind::carnivore, "weight_N", 5), 1u);
    EXPECT_EQ(countOf(one, Kind::carnivore, "speed", 7), 1u);

    // ... then enough random ones for several pieces of a list.
    std::mt19937 random(5);
    for (int32_t i = 0; i < 70000; ++i)
        addPlant(i % kWorldSide, 10 + i / kWorldSide, 1, random(), random());
    for (int32_t i = 0; i < 40000; ++i)
        addHerbivore(i % kWorldSide, 100 + i / kWorldSide, 1, random(), random(), random(),
                     random());
    for (int32_t i = 0; i < 3000; ++i)
        addCarnivore(i % kWorldSide, 200 + i / kWorldSide, 1, random(), random(), random(),
                     random());
    setSimulationThreads(2);
    const TraitCounts counts = countTraits();
    EXPECT_EQ(counts.bins, directCount());
    EXPECT_EQ(counts.organisms, (std::array<int32_t, 3>{70001, 40001, 3001}));
}

// The counts culling and insertion keep up to date from their deaths and
// births are those of a direct count at every status line, on a small world
// and on the default one.
TEST_F(TraitCountsTest, CullAndInsertionCountTheNextListsExactly) {
    for (const bool defaultWorld : {false, true}) {
        resetModel();
        if (defaultWorld) {
            resetCounters();  // 500,000 plants, 230,000 herbivores, 50,000 carnivores
            delay = 0;
            matureNutrients();
        } else {
            seedSmallWorld(20000, 9200, 2000);
        }
        ASSERT_EQ(Ppop, defaultWorld ? 500000 : 20000);
        setSimulationThreads(2);
        traitTally.follow(countTraits());
        for (int cycle = 0; cycle < 3; ++cycle) {
            runCycleSteps();
            kk += 1;
            const TraitCounts* tallied = traitTally.counted(kk);
            ASSERT_NE(tallied, nullptr) << "cycle " << kk;
            EXPECT_EQ(tallied->bins, directCount()) << "cycle " << kk;
            EXPECT_EQ(tallied->organisms, (std::array<int32_t, 3>{Ppop, Hpop, Cpop}));
        }
    }
}

TEST_F(TraitCountsTest, EveryThreadCountWritesTheSameFiles) {
    std::string traits, histograms;
    for (int threads : {1, 2, 3}) {
        resetModel();
        traitHistory.clear();
        traitSettings = {1, 2};
        seedSmallWorld(70000, 9200, 2000);
        setSimulationThreads(threads);
        startTraitFiles();
        for (int cycle = 0; cycle < 4; ++cycle)
            runCycle();
        if (threads == 1) {
            traits = readFile(kTraitsFile);
            histograms = readFile(kHistogramsFile);
            EXPECT_EQ(traitHistory.samples.size(), 4u);
        } else {
            EXPECT_EQ(readFile(kTraitsFile), traits) << threads << " threads";
            EXPECT_EQ(readFile(kHistogramsFile), histograms) << threads << " threads";
        }
    }
}

}  // namespace
}  // namespace kesmir::testing
