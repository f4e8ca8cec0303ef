#include <gtest/gtest.h>

#include "model_fixture.h"
#include "sim/reproduce.h"

namespace kesmir::testing {
namespace {

using ReproduceTest = ModelTest;

auto mateIndex(int32_t index, int32_t count) {
    return [index, count](int32_t d) { return d % count == index; };
}

TEST_F(ReproduceTest, PlantPairSharesItsEnergy) {
    PRenergy = 20.0f;  // so that neither parent qualifies again afterwards
    takeCycleParams();
    addPlant(100, 100, 40.0f, 0, 0, 3);
    addPlant(200, 200, 24.0f, 0, 0, 3);
    setNutrient(cellIndex(100, 100), 0.0f);
    setNutrient(cellIndex(200, 200), 0.0f);
    seedRandom(stateWhereDraws({mateIndex(1, 2)}));
    reproduce();
    ASSERT_EQ(newPpop, 1);
    EXPECT_EQ(NP[0].energy, 8.0f);
    EXPECT_EQ(PL[0].energy, 32.5f);
    EXPECT_EQ(nutrientAt(cellIndex(100, 100)), 2.5f);
    EXPECT_EQ(PL[1].energy, 19.5f);
    EXPECT_EQ(nutrientAt(cellIndex(200, 200)), 1.5f);
    // First candidate: five cells east of the starting parent.
    EXPECT_EQ(NP[0].x, 105);
    EXPECT_EQ(NP[0].y, 100);
    EXPECT_EQ(NP[0].age, 1);
    EXPECT_EQ(NP[0].alive, 1);
    EXPECT_TRUE(E.plant.occupied(cellIndex(105, 100)));
}

TEST_F(ReproduceTest, HerbivorePairSharesItsEnergy) {
    HRenergy = 79.0f;
    takeCycleParams();
    addHerbivore(300, 300, 80.0f, 0, 0, 0, 0, 3);  // maturity 0 + 1: age 3 is mature
    addHerbivore(400, 400, 96.0f, 0, 0, 0, 0, 3);
    for (int32_t cell : {cellIndex(300, 300), cellIndex(400, 400), cellIndex(304, 300)})
        setNutrient(cell, 0.0f);
    seedRandom(stateWhereDraws({mateIndex(1, 2)}));
    reproduce();
    ASSERT_EQ(newHpop, 1);
    EXPECT_EQ(NH[0].energy, 22.0f);
    EXPECT_EQ(HL[0].energy, 60.0f);
    EXPECT_EQ(HL[1].energy, 78.0f);
    EXPECT_EQ(nutrientAt(cellIndex(300, 300)), 5.0f);
    EXPECT_EQ(nutrientAt(cellIndex(304, 300)), 5.0f);  // the newborn's cell
    EXPECT_EQ(nutrientAt(cellIndex(400, 400)), 6.0f);
}

TEST_F(ReproduceTest, ParentDrawnAsItsOwnMate) {
    addPlant(100, 100, 40.0f, 0, 0, 3);
    setNutrient(cellIndex(100, 100), 0.0f);
    reproduce();  // one plant: the mate index is always 0
    ASSERT_EQ(newPpop, 1);
    EXPECT_EQ(NP[0].energy, 10.0f);
    EXPECT_EQ(nutrientAt(cellIndex(100, 100)), 5.0f);
    EXPECT_EQ(PL[0].energy, 32.5f * 13.0f / 16.0f);
}

TEST_F(ReproduceTest, MaturityAndThresholdAreStrict) {
    addPlant(10, 10, 40.0f, 0, 0, 2);  // too young
    addPlant(20, 20, 12.5f, 0, 0, 9);  // energy equal to the threshold
    reproduce();
    EXPECT_EQ(newPpop, 0);

    resetModel();
    // Maturity gene 4 + HAoffset 1 = 5: age 5 is not above it, age 6 is.
    const uint32_t maturity4 = 4u << 16;
    addHerbivore(10, 10, 90.0f, maturity4, 0, 0, 0, 5);
    reproduce();
    EXPECT_EQ(newHpop, 0);
    HL[0].age = 6;
    reproduce();
    EXPECT_EQ(newHpop, 1);
}

TEST_F(ReproduceTest, CandidatesRingOutwardAndWrap) {
    // E at the first distance is taken: the next is NE.
    addPlant(3498, 10, 40.0f, 0, 0, 3);
    E.plant.set(cellIndex(3, 10), slotOf(99, 0));
    reproduce();
    ASSERT_EQ(newPpop, 1);
    EXPECT_EQ(NP[0].x, 3);  // 3498 + 5 wraps to 3
    EXPECT_EQ(NP[0].y, 15);

    resetModel();
    addHerbivore(1000, 1000, 90.0f, 0, 0, 0, 0, 3);
    addCarnivore(2000, 2000, 90.0f, 0, 0, 0, 0, 5);
    reproduce();
    EXPECT_EQ(NH[0].x, 1004);
    EXPECT_EQ(NC[0].x, 2003);
}

TEST_F(ReproduceTest, LastCandidateIsTakenWhenAllOthersAreTaken) {
    addPlant(1000, 1000, 40.0f, 0, 0, 3);
    for (int32_t k = 5; k <= 25; ++k)
        for (int e = 1; e <= 8; ++e)
            E.plant.set(cellIndex(bound(sum(vt{1000, 1000}, scale(k, dir[e])))), slotOf(7, 0));
    reproduce();
    ASSERT_EQ(newPpop, 1);
    EXPECT_EQ(NP[0].x, 1025);  // SE at distance 25
    EXPECT_EQ(NP[0].y, 975);
}

// Fills the first 32,768 records (all a mate draw can reach) with mature,
// well-fed organisms and sets the count.
template <class Record>
void crowd(Record* list, RelaxedAtomic<int32_t>& count, int32_t total) {
    for (int32_t i = 0; i < 32768; ++i) {
        list[i] = Record{};
        list[i].x = i % kWorldSide;
        list[i].y = i / kWorldSide;
        list[i].energy = 1000.0f;
        list[i].age = 50;
        list[i].alive = 1;
    }
    count = total;
}

TEST_F(ReproduceTest, NoKindReproducesAboveTheCapacityGuard) {
    crowd(PL1, Ppop, 6125000);
    crowd(HL1, Hpop, 6125000);
    crowd(CL1, Cpop, 6125000);
    reproduce();
    EXPECT_EQ(newPpop, 0);
    EXPECT_EQ(newHpop, 0);
    EXPECT_EQ(newCpop, 0);

    resetModel();
    crowd(PL1, Ppop, 6124999);
    crowd(HL1, Hpop, 6124999);
    crowd(CL1, Cpop, 6124999);
    reproduce();
    EXPECT_GT(newPpop, 0);
    EXPECT_GT(newHpop, 0);
    EXPECT_GT(newCpop, 0);
}

TEST_F(ReproduceTest, NewbornTakesTheStartingParentsMarker) {
    plant& parent = addPlant(100, 100, 40.0f, 0, 0, 3);
    plant& mate = addPlant(200, 200, 40.0f, 0, 0, 3);
    parent.GM = 61680;
    mate.GM = 3855;
    PRenergy = 35.0f;  // the mate does not start a birth of its own afterwards
    takeCycleParams();
    seedRandom(stateWhereDraws({mateIndex(1, 2)}));
    reproduce();
    ASSERT_EQ(newPpop, 1);
    EXPECT_EQ(NP[0].GM, 61680u);
}

}  // namespace
}  // namespace kesmir::testing
