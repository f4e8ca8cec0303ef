#include <gtest/gtest.h>

#include "model_fixture.h"
#include "sim/die.h"
#include "sim/metabolism.h"
#include "sim/replenish.h"

namespace kesmir::testing {
namespace {

using MetabolismTest = ModelTest;

TEST_F(MetabolismTest, ChargesEachKindItsCostAndAgesIt) {
    plant& p = addPlant(1, 1, 80.0f, /*chrom1=*/3);
    animal& h = addHerbivore(2, 2, 120.0f, /*chrom1=*/7);
    animal& c = addCarnivore(3, 3, 300.0f, /*chrom1=*/0 | (1u << 3));  // bit 3 is no cost bit
    const float total = metabolize();
    EXPECT_EQ(p.energy, 80.0f - (3.0f + 3.1f));   // 6.1
    EXPECT_EQ(h.energy, 120.0f - (7.0f + 4.2f));  // 11.2
    EXPECT_EQ(c.energy, 300.0f - 5.3f);
    EXPECT_EQ(p.age, 2);
    EXPECT_EQ(h.age, 2);
    EXPECT_EQ(c.age, 2);
    EXPECT_EQ(total, ((3.0f + 3.1f) + (7.0f + 4.2f)) + 5.3f);
}

TEST_F(MetabolismTest, ChargesDeadRecordsAndReadsChangedOffsets) {
    plant& p = addPlant(1, 1, 10.0f);
    p.alive = 0;
    PMoffset = 1.5f;
    takeCycleParams();  // the steps read the cycle's copy
    metabolize();
    EXPECT_EQ(p.energy, 8.5f);
    EXPECT_EQ(p.age, 2);
}

TEST_F(MetabolismTest, ReplenishAddsInflowAndShareInDoublePrecision) {
    setNutrient(cellIndex(7, 9), 300.0f);
    setNutrient(cellIndex(3499, 3499), -5.0f);
    // Levels below 1, where an inflow of 0.7f in single precision rounds
    // to another level than 0.7 in double.
    setNutrient(cellIndex(1, 2), 0.9f);
    setNutrient(cellIndex(2, 2), -0.5f);
    replenish(0.0f);
    EXPECT_EQ(nutrientAt(0), static_cast<float>(0.7 + 250.0));
    EXPECT_EQ(nutrientAt(cellIndex(7, 9)), static_cast<float>(0.7 + 300.0));
    EXPECT_EQ(nutrientAt(cellIndex(3499, 3499)), static_cast<float>(0.7 + -5.0));
    EXPECT_EQ(nutrientAt(cellIndex(1, 2)), static_cast<float>(0.7 + static_cast<double>(0.9f)));
    EXPECT_EQ(nutrientAt(cellIndex(2, 2)), 0.2f);  // 0.7 - 0.5 in double, rounded once
    EXPECT_EQ(emax, static_cast<float>(0.7 + 300.0));

    const float total = 1234567.0f;
    const float share = total / 12250000.0f;
    replenish(total);
    const double inflow = 0.7 + static_cast<double>(share);
    EXPECT_EQ(nutrientAt(1),
              static_cast<float>(inflow + static_cast<double>(static_cast<float>(250.7))));
}

TEST_F(MetabolismTest, StarvationComesBeforeOldAgeAndLeavesTheCell) {
    // Senescent age of a plant with gene 0 is PNoffset = 5.
    plant& zero = addPlant(10, 10, 0.0f, 0, 0, 6);         // old, not starved
    plant& starvedOld = addPlant(11, 10, -0.5f, 0, 0, 6);  // old and starved
    plant& atAge = addPlant(12, 10, 5.0f, 0, 0, 5);        // at its age: survives
    plant& old = addPlant(13, 10, 2.5f, 0, 0, 6);
    setNutrient(cellIndex(11, 10), 77.0f);
    setNutrient(cellIndex(13, 10), 300.0f);
    die();
    EXPECT_EQ(zero.alive, 0);  // energy 0 does not starve, but age 6 > 5
    EXPECT_EQ(nutrientAt(cellIndex(10, 10)), 0.0f);
    EXPECT_EQ(starvedOld.alive, 0);
    EXPECT_EQ(nutrientAt(cellIndex(11, 10)), 77.0f);
    EXPECT_EQ(atAge.alive, 1);
    EXPECT_EQ(old.alive, 0);
    EXPECT_EQ(nutrientAt(cellIndex(13, 10)), 2.5f);  // replaced, not added
}

TEST_F(MetabolismTest, HerbivoresAgeOutAgainstTheirOwnOffset) {
    const uint32_t senescence1 = 1u << 22;  // 1 + HNoffset 19 = 20
    addHerbivore(1, 1, 10.0f, senescence1, 0, 0, 0, 20);
    addHerbivore(2, 1, 10.0f, senescence1, 0, 0, 0, 21);
    die();
    EXPECT_EQ(HL[0].alive, 1);
    EXPECT_EQ(HL[1].alive, 0);
}

TEST_F(MetabolismTest, CeatCountsOnlyCarnivoresDeadOfOldAge) {
    const uint32_t senescence3 = 3u << 22;  // 3 + CNoffset 39 = 42
    addCarnivore(1, 1, -1.0f, senescence3, 0, 0, 0, 50);
    addCarnivore(2, 1, 10.0f, senescence3, 0, 0, 0, 43);
    addCarnivore(3, 1, 10.0f, senescence3, 0, 0, 0, 42);
    addHerbivore(4, 1, 10.0f, 0, 0, 0, 0, 40);  // old herbivores are not counted
    Ceat = 99;
    die();
    EXPECT_EQ(Ceat, 1);
    EXPECT_EQ(CL[0].alive, 0);
    EXPECT_EQ(CL[1].alive, 0);
    EXPECT_EQ(CL[2].alive, 1);
    EXPECT_EQ(HL[0].alive, 0);
}

}  // namespace
}  // namespace kesmir::testing
