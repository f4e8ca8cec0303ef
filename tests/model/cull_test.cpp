#include <gtest/gtest.h>

#include "model_fixture.h"
#include "sim/cull.h"

namespace kesmir::testing {
namespace {

using CullTest = ModelTest;

TEST_F(CullTest, KeepsTheLivingInOrderAndRepointsTheirCells) {
    addPlant(1, 1, 5.0f);
    plant& dead = addPlant(2, 2, 9.0f);
    dead.alive = 0;
    addPlant(3, 3, 7.0f);
    cull();
    EXPECT_EQ(Ppop, 2);
    EXPECT_EQ(OPL[0].x, 1);
    EXPECT_EQ(OPL[1].x, 3);
    EXPECT_EQ(E.plant[cellIndex(2, 2)], kEmpty);
    EXPECT_FALSE(E.plant.occupied(cellIndex(2, 2)));
    EXPECT_TRUE(E.plant.occupied(cellIndex(3, 3)));
    EXPECT_EQ(indexOf(E.plant[cellIndex(1, 1)]), 0);
    EXPECT_EQ(indexOf(E.plant[cellIndex(3, 3)]), 1);
    EXPECT_EQ(pmin, 5.0f);
    EXPECT_EQ(pmax, 7.0f);
}

// Energies that neither rise nor fall throughout, and the dead at the
// extremes, so that each running value is tested against its own.
TEST_F(CullTest, ExtremesOfEachKindAreThoseOfItsLiving) {
    for (float energy : {7.0f, 3.0f, 1.0f, 9.0f, 12.0f, 5.0f})
        addPlant(int32_t(energy), 1, energy).alive = energy != 1.0f && energy != 12.0f;
    for (float energy : {20.0f, 10.0f, 30.0f, 15.0f})
        addHerbivore(int32_t(energy), 2, energy);
    for (float energy : {-2.0f, 8.0f, -4.0f})
        addCarnivore(int32_t(energy) + 10, 3, energy);
    cull();
    EXPECT_EQ(Ppop, 4);
    EXPECT_EQ(pmin, 3.0f);
    EXPECT_EQ(pmax, 9.0f);
    EXPECT_EQ(hmin, 10.0f);
    EXPECT_EQ(hmax, 30.0f);
    EXPECT_EQ(cmin, -4.0f);
    EXPECT_EQ(cmax, 8.0f);
}

TEST_F(CullTest, AllDeadLeavesTheStartExtremes) {
    addHerbivore(5, 5, 3.0f).alive = 0;
    addPlant(1, 1, 1.0f).alive = 0;
    cull();
    EXPECT_EQ(Hpop, 0);
    EXPECT_EQ(Ppop, 0);
    EXPECT_EQ(pmin, 100000.0f);
    EXPECT_EQ(pmax, -100000.0f);
    EXPECT_EQ(hmin, 100000.0f);
    EXPECT_EQ(hmax, -100000.0f);
}

TEST_F(CullTest, NewbornsFollowTheSurvivors) {
    addPlant(1, 1, 5.0f);
    addPlant(2, 2, 6.0f);
    for (int i = 0; i < 3; ++i) {
        NP[i] = plant{};
        NP[i].x = 10 + i;
        NP[i].y = 20;
        NP[i].alive = 1;
        E.plant.set(cellIndex(10 + i, 20), slotOf(i, 0));  // pointing into the newborn list
    }
    newPpop = 3;
    cull();
    addNew();
    EXPECT_EQ(Ppop, 5);
    EXPECT_EQ(newPpop, 3);
    EXPECT_EQ(OPL[2].x, 10);
    EXPECT_EQ(OPL[4].x, 12);
    EXPECT_EQ(indexOf(E.plant[cellIndex(12, 20)]), 4);
}

TEST_F(CullTest, DeadRecordEmptiesACellThatANewbornThenRetakes) {
    plant& dead = addPlant(4, 4, 1.0f);
    dead.alive = 0;
    NP[0] = plant{};
    NP[0].x = 4;
    NP[0].y = 4;
    NP[0].alive = 1;
    E.plant.set(cellIndex(4, 4), slotOf(0, 0));
    newPpop = 1;
    cull();
    EXPECT_EQ(E.plant[cellIndex(4, 4)], kEmpty);
    addNew();
    EXPECT_EQ(indexOf(E.plant[cellIndex(4, 4)]), 0);
    EXPECT_EQ(Ppop, 1);
}

TEST_F(CullTest, BufferSwapAlternatesTheBuffers) {
    EXPECT_EQ(static_cast<plant*>(PL), PL1);
    EXPECT_EQ(OPL, PL2);
    EXPECT_TRUE(even);
    bufferSwap();
    EXPECT_EQ(static_cast<plant*>(PL), PL2);
    EXPECT_EQ(static_cast<animal*>(CL), CL2);
    EXPECT_EQ(OHL, HL1);
    EXPECT_FALSE(even);
    bufferSwap();
    EXPECT_EQ(static_cast<plant*>(PL), PL1);
    EXPECT_TRUE(even);
}

TEST_F(CullTest, FreshLayerReachesTheLastCell) {
    EXPECT_EQ(nutrientAt(12249999), 250.0f);
    EXPECT_EQ(E.plant[12249999], kEmpty);
    EXPECT_EQ(E.carnivore[12249999], kEmpty);
    EXPECT_EQ(cellIndex(10, 2), 7010);
}

}  // namespace
}  // namespace kesmir::testing
