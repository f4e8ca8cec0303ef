#include <gtest/gtest.h>

#include "model_fixture.h"
#include "sim/eat.h"

namespace kesmir::testing {
namespace {

using EatTest = ModelTest;

// A state whose first look-up lands on the eater's own cell (distance 0).
uint32_t firstLookUpAtHome() {
    return stateWhereDraws({[](int32_t d) { return d % 12 == 0; }});
}

TEST_F(EatTest, PlantBelowItsSatietyAbsorbsItsShare) {
    const uint32_t absorption7 = 7u << 7;
    plant& hungry = addPlant(10, 10, 0.0f, absorption7);
    plant& full = addPlant(20, 20, 29.1f, absorption7);  // satiety 0 + 29.1: not below it
    setNutrient(cellIndex(10, 10), 300.0f);
    setNutrient(cellIndex(20, 20), 300.0f);
    eat();
    EXPECT_EQ(hungry.energy, 160.00002f);
    EXPECT_EQ(nutrientAt(cellIndex(10, 10)), 139.99998f);
    EXPECT_EQ(full.energy, 29.1f);
    EXPECT_EQ(nutrientAt(cellIndex(20, 20)), 300.0f);
}

// Plants absorb before herbivores eat; with a satiety far below any energy
// in these tests they absorb nothing.
void plantsNeverHungry() {
    PSoffset = -1000.0f;
    takeCycleParams();
}

TEST_F(EatTest, HerbivoreEatsAPlantOnItsOwnCell) {
    plantsNeverHungry();
    addHerbivore(50, 50, 10.0f);  // coefficient (0 + 1) / 12, satiety 56.1
    plant& q = addPlant(50, 50, 24.0f);
    setNutrient(cellIndex(50, 50), 100.0f);
    seedRandom(firstLookUpAtHome());
    eat();
    EXPECT_EQ(HL[0].energy, 12.0f);
    EXPECT_EQ(q.energy, 22.0f);
    EXPECT_EQ(nutrientAt(cellIndex(50, 50)), 122.0f);
    EXPECT_EQ(q.alive, 0);
    EXPECT_FALSE(E.plant.occupied(cellIndex(50, 50)));
    EXPECT_EQ(Peat, 1);
}

TEST_F(EatTest, PoisonStrongerThanTheResistanceIsLeft) {
    const uint32_t resistance5 = 5u << 12;
    plantsNeverHungry();
    addHerbivore(60, 60, 10.0f, 0, resistance5);
    plant& equal = addPlant(60, 60, 24.0f, 0, 5u << 12);
    seedRandom(firstLookUpAtHome());
    eat();
    EXPECT_EQ(equal.alive, 0);  // resistance equal to the strength: eaten

    resetModel();
    plantsNeverHungry();
    addHerbivore(60, 60, 10.0f, 0, resistance5);
    plant& stronger = addPlant(60, 60, 24.0f, 0, 6u << 12);
    seedRandom(firstLookUpAtHome());
    eat();
    EXPECT_EQ(stronger.alive, 1);
    EXPECT_EQ(Peat, 0);
}

TEST_F(EatTest, SatiatedEatersStillTakeEveryDraw) {
    // Herbivore satiety 56.1 and carnivore satiety 1.2: both start satiated,
    // the carnivore below the herbivores' level.
    addHerbivore(70, 70, 200.0f);
    addPlant(70, 70, 24.0f);
    addCarnivore(80, 80, 30.0f);
    addHerbivore(80, 80, 10.0f);
    const uint32_t start = firstLookUpAtHome();
    seedRandom(start);
    eat();
    EXPECT_EQ(Peat, 0);
    EXPECT_EQ(Heat, 0);
    // 31 look-ups per herbivore and 59 per carnivore, two draws each.
    const uint32_t after = randState;
    EXPECT_EQ(after, stateAfterDraws(start, 2 * (31 + 31 + 59)));
}

// Look-ups land 0 .. 11 + v cells away: with reach gene 2 a prey 13 cells
// east is within reach, and only just.
TEST_F(EatTest, ReachIsTwelveCellsPlusItsGene) {
    plantsNeverHungry();
    addHerbivore(50, 50, 10.0f, 0, 0, 0, /*chrom4: reach*/ 2u << 24);
    const vt east13 = bound(sum(vt{50, 50}, scale(13, dir[1])));
    plant& q = addPlant(east13.x, east13.y, 24.0f);
    seedRandom(stateWhereDraws({[](int32_t d) { return d % 14 == 13; },
                                [](int32_t d) { return d != 0; }}));  // east: no weights set
    eat();
    EXPECT_EQ(q.alive, 0);
}

// Hunger is tested before every look-up: an eater that reaches its satiety
// level exactly leaves the next prey it finds.
TEST_F(EatTest, EaterStopsOnceItsEnergyReachesItsSatiety) {
    plantsNeverHungry();
    HSoffset = 60.0f;
    takeCycleParams();
    addHerbivore(50, 50, 58.0f);
    plant& home = addPlant(50, 50, 24.0f);  // 24 / 12 = 2 taken: 60
    const vt east = bound(sum(vt{50, 50}, dir[1]));
    plant& next = addPlant(east.x, east.y, 24.0f);
    seedRandom(
        stateWhereDraws({[](int32_t d) { return d % 12 == 0; }, [](int32_t) { return true; },
                         [](int32_t d) { return d % 12 == 1; }, [](int32_t d) { return d != 0; }}));
    eat();
    EXPECT_EQ(home.alive, 0);
    EXPECT_EQ(HL[0].energy, 60.0f);
    EXPECT_EQ(next.alive, 1);
}

TEST_F(EatTest, CarnivoreSeesThroughCamouflageUpToItsSight) {
    const uint32_t sight10 = 10u;
    addCarnivore(90, 90, 0.5f, 0, 0, sight10);  // below satiety 1.2, coefficient 1/9
    animal& h = addHerbivore(90, 90, 45.0f, 0, /*camouflage*/ 10u);
    // The herbivore grazes first (31 look-ups, 62 draws); the carnivore's
    // first look-up then lands on its own cell.
    std::vector<std::function<bool(int32_t)>> draws(62, [](int32_t) { return true; });
    draws.push_back([](int32_t d) { return d % 12 == 0; });
    seedRandom(stateWhereDraws(draws));
    eat();
    EXPECT_EQ(h.alive, 0);
    EXPECT_EQ(Heat, 1);
    EXPECT_FALSE(E.herbivore.occupied(cellIndex(90, 90)));
    const float taken = 45.0f * (1.0f / 9.0f);
    EXPECT_EQ(CL[0].energy, taken + 0.5f);
    EXPECT_EQ(h.energy, 45.0f - taken);
}

TEST_F(EatTest, StarvedPlantFeedsNegativeEnergy) {
    plantsNeverHungry();
    addHerbivore(40, 40, 10.0f);
    plant& q = addPlant(40, 40, -12.0f);
    setNutrient(cellIndex(40, 40), 5.0f);
    seedRandom(firstLookUpAtHome());
    eat();
    EXPECT_EQ(HL[0].energy, 9.0f);
    EXPECT_EQ(q.energy, -11.0f);
    EXPECT_EQ(nutrientAt(cellIndex(40, 40)), -6.0f);
}

}  // namespace
}  // namespace kesmir::testing
