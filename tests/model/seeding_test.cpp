#include <gtest/gtest.h>

#include <set>

#include "model_fixture.h"
#include "seed/gene_sample_file.h"
#include "seed/seeding.h"

namespace kesmir::testing {
namespace {

class SeedingTest : public ModelTest {
  protected:
    ScratchDirectory scratch_;  // no data files: a fresh layer and a generated sample
};

template <class Record>
void expectOnePerCell(const Record* list, int32_t count, const SlotLayer& slots) {
    std::set<int32_t> cells;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t cell = cellIndex(list[i].x, list[i].y);
        EXPECT_TRUE(cells.insert(cell).second) << "two of a kind on cell " << cell;
        ASSERT_EQ(indexOf(slots[cell]), i);
    }
}

TEST_F(SeedingTest, FirstGenerationComesHalfFromEachSample) {
    Ppop = 2001;  // odd: the second half is one larger
    Hpop = 1000;
    Cpop = 300;
    matureNutrients();
    EXPECT_EQ(nutrientAt(0), 250.0f);
    for (int32_t i = 0; i < Ppop; ++i) {
        const plant& p = PL[i];
        EXPECT_EQ(p.GM, i < 1000 ? kMarkerA : kMarkerB) << i;
        EXPECT_EQ(p.energy, 80.0f);
        EXPECT_EQ(p.age, 1);
        EXPECT_EQ(p.alive, 1);
        EXPECT_LT(p.chrom1, 32768u);  // one 15-bit draw
        EXPECT_LT(p.chrom2, 32768u);
    }
    for (int32_t i = 0; i < Hpop; ++i) {
        EXPECT_EQ(HL[i].GM, i < 500 ? 0u : kMarkerB);
        EXPECT_EQ(HL[i].energy, 120.0f);
        EXPECT_LT(HL[i].chrom4, 32768u);
    }
    for (int32_t i = 0; i < Cpop; ++i) {
        EXPECT_EQ(CL[i].GM, i < 150 ? 0u : kMarkerB);
        EXPECT_EQ(CL[i].energy, 300.0f);
    }
    expectOnePerCell<plant>(PL, Ppop, E.plant);
    expectOnePerCell<animal>(HL, Hpop, E.herbivore);
    expectOnePerCell<animal>(CL, Cpop, E.carnivore);
}

TEST_F(SeedingTest, LoadedSampleBringsItsEnergyAndAge) {
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "7 8 42 33.250000 17\n";
    for (int i = 0; i < 2000; ++i)
        text += "1 3 2 4 43 99.500000 21\n";
    writeFile(kGeneSampleFile, text);
    Ppop = 100;
    Hpop = 100;
    Cpop = 100;
    matureNutrients();
    EXPECT_EQ(PL[49].energy, 80.0f);  // first half: sample A
    EXPECT_EQ(PL[50].energy, 33.25f);
    EXPECT_EQ(PL[50].age, 17);
    EXPECT_EQ(PL[50].GM, 42u);
    EXPECT_EQ(HL[99].chrom2, 2u);
    EXPECT_EQ(HL[99].chrom3, 3u);
    EXPECT_EQ(HL[99].GM, 43u);
    EXPECT_EQ(CL[50].age, 21);
    EXPECT_EQ(CL[50].alive, 1);
}

// The draws in their documented order: a plant's chrom1 and chrom2; an
// animal's chrom1, chrom3, chrom2 and chrom4; a placed organism's sample
// entry, then its x and its y.
TEST_F(SeedingTest, WordsAndPlacesAreDrawnInOrder) {
    seedRandom(77);
    createPlants();
    createHerbivores();
    seedRandom(77);
    EXPECT_EQ(PS[0].chrom1, uint32_t(draw()));
    EXPECT_EQ(PS[0].chrom2, uint32_t(draw()));
    seedRandom(stateAfterDraws(77, 2 * kSeedSampleSize));
    EXPECT_EQ(HS[0].chrom1, uint32_t(draw()));
    EXPECT_EQ(HS[0].chrom3, uint32_t(draw()));
    EXPECT_EQ(HS[0].chrom2, uint32_t(draw()));
    EXPECT_EQ(HS[0].chrom4, uint32_t(draw()));

    Ppop = 1;
    seedRandom(78);
    matureSamples();
    seedRandom(78);
    draw();  // the sample entry
    EXPECT_EQ(PL[0].x, draw() % kWorldSide);
    EXPECT_EQ(PL[0].y, draw() % kWorldSide);
}

TEST_F(SeedingTest, SameSeedSameWorld) {
    Ppop = 500;
    Hpop = 200;
    Cpop = 50;
    seedRandom(77);
    matureNutrients();
    const plant first = PL[123];
    const animal herbivore = HL[150];
    resetModel();
    Ppop = 500;
    Hpop = 200;
    Cpop = 50;
    seedRandom(77);
    matureNutrients();
    EXPECT_EQ(PL[123].x, first.x);
    EXPECT_EQ(PL[123].chrom1, first.chrom1);
    EXPECT_EQ(HL[150].y, herbivore.y);
    EXPECT_EQ(HL[150].chrom4, herbivore.chrom4);
}

}  // namespace
}  // namespace kesmir::testing
