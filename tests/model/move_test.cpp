#include <gtest/gtest.h>

#include "model_fixture.h"
#include "sim/integer_wheel.h"
#include "sim/move.h"
#include "world/genes.h"

#include <set>

namespace kesmir::testing {
namespace {

// The roulette walk exactly as it is described: normalise on every spin,
// then step and add while r is above the running total.
int literalWalk(uint32_t gene, float r) {
    float weight[9] = {0};
    float sumOfWeights = 0.0f;
    for (int k = 1; k <= 8; ++k) {
        weight[k] = static_cast<float>((gene >> (3 * (8 - k))) & 7u);
        sumOfWeights += weight[k];
    }
    if (sumOfWeights == 0.0f) return r > 0.0f ? 1 : 0;  // 0/0 weights end the walk at E
    for (int k = 1; k <= 8; ++k)
        weight[k] /= sumOfWeights;
    float running = 0.0f;
    int k = 0;
    while (r > running) {
        ++k;
        if (k > 8) k = 0;
        running += weight[k];
    }
    return k;
}

TEST(DirectionWheelTest, GivesTheLiteralWalkForEveryDraw) {
    seedRandom(99);
    std::vector<uint32_t> genes = {0u, 0x38u, 0xFFFFFFu, 0xE00000u, 0x249249u, 0x000007u};
    for (int i = 0; i < 300; ++i)
        genes.push_back(static_cast<uint32_t>(draw()) << 9 ^ static_cast<uint32_t>(draw()));
    for (const uint32_t gene : genes) {
        const DirectionWheel wheel(gene);
        const IntegerWheel whole(gene);
        for (int32_t d = 0; d <= 32767; ++d) {
            const float r = fRanOf(d);
            ASSERT_EQ(wheel.index(r), literalWalk(gene, r)) << "gene " << gene << " draw " << d;
            ASSERT_EQ(whole.index(d), literalWalk(gene, r)) << "gene " << gene << " draw " << d;
        }
    }
}

// Both sides of every comparison are monotonic in the draw, so they agree
// for every draw when they switch at the same one: checked for every set of
// eight weights, around the whole-number threshold (a tie there is left to
// the floats).
TEST(DirectionWheelTest, WholeNumbersSwitchWhereTheFloatsDoForEveryWeightSet) {
    const auto floatsBelow = [](float total, int64_t d) {
        return total < fRanOf(static_cast<int32_t>(d));
    };
    int64_t disagreements = 0;
    for (uint32_t weights = 1; weights < (1u << 24); ++weights) {
        uint32_t gene = 0;
        for (int k = 1; k <= 8; ++k)
            gene |= (weights >> (3 * (k - 1)) & 7u) << genes::directionWeight(k).first;
        const DirectionWheel wheel(gene);
        const IntegerWheel whole(gene);
        for (int k = 1; k <= 8; ++k) {
            const int64_t scaled = whole.scaledTotal(k);
            const int64_t first =
                scaled / whole.sum() + 1;                // the first draw d with scaled < d * sum
            const bool tie = scaled % whole.sum() == 0;  // at draw first - 1
            if (first <= 32767 && !floatsBelow(wheel.total(k), first)) ++disagreements;
            const int64_t lastBelow = tie ? first - 2 : first - 1;
            if (lastBelow >= 0 && floatsBelow(wheel.total(k), lastBelow)) ++disagreements;
        }
    }
    EXPECT_EQ(disagreements, 0);
}

TEST(DirectionWheelTest, SpecialGenes) {
    initDir();
    const DirectionWheel none(0);
    EXPECT_EQ(none.index(0.0f), 0);  // stay only for r = 0
    EXPECT_EQ(none.index(fRanOf(1)), 1);
    EXPECT_EQ(none.index(1.0f), 1);
    const DirectionWheel southOnly(0x38u);  // bits 3-5: S
    for (int32_t d = 1; d <= 32767; d += 97)
        EXPECT_EQ(dir[southOnly.index(fRanOf(d))], vector(0, -1));
    // Weights E = 1, W = 1: the zero weights between them are never chosen.
    const DirectionWheel eastWest((1u << 21) | (1u << 9));
    for (int32_t d = 1; d <= 32767; ++d) {
        const int k = eastWest.index(fRanOf(d));
        ASSERT_TRUE(k == 1 || k == 5) << d;
    }
}

constexpr uint32_t kEastOnly = 7u << 21;
constexpr uint32_t kSouthOnly = 7u << 3;

using MoveTest = ModelTest;

TEST_F(MoveTest, HerbivoreWrapsAtTheWorldsEdges) {
    animal& east = addHerbivore(3499, 10, 50.0f, 0, 0, 0, kEastOnly | (1u << 28));  // speed 1
    // Two steps: the step draw is odd (1 + 1), then any direction draw above 0.
    seedRandom(
        stateWhereDraws({[](int32_t d) { return d % 2 == 1; }, [](int32_t d) { return d > 0; }}));
    moveHerbivores();
    EXPECT_EQ(east.x, 1);
    EXPECT_EQ(east.y, 10);
    EXPECT_EQ(indexOf(E.herbivore[cellIndex(1, 10)]), 0);
    EXPECT_FALSE(E.herbivore.occupied(cellIndex(3499, 10)));

    resetModel();
    animal& south = addHerbivore(20, 0, 50.0f, 0, 0, 0, kSouthOnly);
    seedRandom(stateWhereDraws({[](int32_t) { return true; }, [](int32_t d) { return d > 0; }}));
    moveHerbivores();
    EXPECT_EQ(south.x, 20);
    EXPECT_EQ(south.y, 3499);
}

TEST_F(MoveTest, SpeedFieldSetsTheStepRange) {
    // Speed 0: herbivores 1 cell, carnivores 3 to 5 cells.
    std::set<int32_t> carnivoreSteps;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        resetModel();
        animal& h = addHerbivore(1000, 1000, 50.0f, 0, 0, 0, kEastOnly);
        animal& c = addCarnivore(2000, 2000, 50.0f, 0, 0, 0, kEastOnly);
        seedRandom(seed);
        moveHerbivores();
        moveCarnivores();
        // It stays only when the direction draw is 0.
        EXPECT_TRUE(h.x == 1001 || h.x == 1000) << h.x;
        if (c.x != 2000) carnivoreSteps.insert(c.x - 2000);
    }
    EXPECT_EQ(carnivoreSteps, (std::set<int32_t>{3, 4, 5}));
}

TEST_F(MoveTest, TenthTargetIsTakenEvenWhenOccupied) {
    // Both face E at speed 0: the mover's every target is the blocker's cell.
    animal& mover = addHerbivore(100, 100, 50.0f, 0, 0, 0, kEastOnly);
    animal& blocker = addHerbivore(101, 100, 50.0f, 0, 0, 0, kEastOnly);
    const uint32_t start = stateWhereDraws(
        std::vector<std::function<bool(int32_t)>>(22, [](int32_t d) { return d > 0; }));
    seedRandom(start);
    moveHerbivores();
    EXPECT_EQ(mover.x, 101);
    // The blocker then moved on and emptied the cell, whatever its slot named.
    EXPECT_EQ(blocker.x, 102);
    EXPECT_FALSE(E.herbivore.occupied(cellIndex(101, 100)));
    EXPECT_EQ(indexOf(E.herbivore[cellIndex(102, 100)]), 1);
    // Ten targets of two draws for the mover, one target for the blocker.
    const uint32_t after = randState;
    EXPECT_EQ(after, stateAfterDraws(start, 22));
}

TEST_F(MoveTest, StayingPutCountsAsBlocked) {
    // A direction draw of exactly 0 means stay; the own cell is taken, so a
    // second target is drawn.
    animal& h = addHerbivore(500, 500, 50.0f, 0, 0, 0, kEastOnly);
    const uint32_t start =
        stateWhereDraws({[](int32_t) { return true; }, [](int32_t d) { return d == 0; },
                         [](int32_t) { return true; }, [](int32_t d) { return d > 0; }});
    seedRandom(start);
    moveHerbivores();
    EXPECT_EQ(h.x, 501);
    const uint32_t after = randState;
    EXPECT_EQ(after, stateAfterDraws(start, 4));
}

}  // namespace
}  // namespace kesmir::testing
