#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

// Each organism alone, so that it is its own mate and any slip lets it breed.
TEST_F(ReproduceTest, MaturityAndThresholdAreStrict) {
    addPlant(10, 10, 40.0f, 0, 0, 2);  // too young
    reproduce();
    EXPECT_EQ(newPpop, 0);
    PL[0].age = 3;
    PL[0].energy = 12.5f;  // energy equal to the threshold
    reproduce();
    EXPECT_EQ(newPpop, 0);

    resetModel();
    // Maturity gene 4 + HAoffset 1 = 5: age 5 is not above it, age 6 is.
    const uint32_t maturity4 = 4u << 16;
    addHerbivore(10, 10, 90.0f, maturity4, 0, 0, 0, 5);
    reproduce();
    EXPECT_EQ(newHpop, 0);
    HL[0].age = 6;
    HL[0].energy = 65.0f;  // equal to HRenergy
    reproduce();
    EXPECT_EQ(newHpop, 0);
    HL[0].energy = 90.0f;
    reproduce();
    EXPECT_EQ(newHpop, 1);

    resetModel();
    // Maturity gene 2 + CAoffset 3 = 5, threshold CRenergy 35.5.
    addCarnivore(10, 10, 90.0f, 2u << 16, 0, 0, 0, 5);
    reproduce();
    EXPECT_EQ(newCpop, 0);
    CL[0].age = 6;
    CL[0].energy = 35.5f;
    reproduce();
    EXPECT_EQ(newCpop, 0);
    CL[0].energy = 35.75f;
    reproduce();
    EXPECT_EQ(newCpop, 1);
}

TEST_F(ReproduceTest, CandidatesRingOutwardAndWrap) {
    // E at the first distance is taken: the next is NE.
    addPlant(3498, 10, 40.0f, 0, 0, 3);
    E.plant.set(cellIndex(3, 10), slotOf(99, 0));
    reproduce();
    ASSERT_EQ(newPpop, 1);
    EXPECT_EQ(NP[0].x, 3);  // 3498 + 5 wraps to 3
    EXPECT_EQ(NP[0].y, 15);
    EXPECT_EQ(nutrientAt(cellIndex(3, 15)), 250.0f);

    resetModel();
    addHerbivore(1000, 1000, 90.0f, 0, 0, 0, 0, 3);
    addCarnivore(2000, 2000, 90.0f, 0, 0, 0, 0, 5);
    reproduce();
    EXPECT_EQ(NH[0].x, 1004);
    EXPECT_EQ(NC[0].x, 2003);
    // An animal parent also gives a sixteenth to its newborn's cell; a plant
    // does not.
    EXPECT_EQ(nutrientAt(cellIndex(1004, 1000)), 250.0f + 5.625f);
    EXPECT_EQ(nutrientAt(cellIndex(2003, 2000)), 250.0f + 5.625f);
}

// The search rings: plants 5..25 cells out, herbivores 4..14, carnivores
// 3..9; with every candidate but the last taken, the last, SE on the
// farthest ring, is the newborn's.
TEST_F(ReproduceTest, LastCandidateIsTakenWhenAllOthersAreTaken) {
    struct Rings {
        int kind;
        int32_t nearest, farthest;
    };
    for (const Rings& rings : {Rings{0, 5, 25}, Rings{1, 4, 14}, Rings{2, 3, 9}}) {
        resetModel();
        SlotLayer& slots = rings.kind == 0 ? E.plant : rings.kind == 1 ? E.herbivore : E.carnivore;
        if (rings.kind == 0) addPlant(1000, 1000, 40.0f, 0, 0, 3);
        if (rings.kind == 1) addHerbivore(1000, 1000, 90.0f, 0, 0, 0, 0, 3);
        if (rings.kind == 2) addCarnivore(1000, 1000, 90.0f, 0, 0, 0, 0, 5);
        for (int32_t k = rings.nearest; k <= rings.farthest; ++k)
            for (int e = 1; e <= 8; ++e)
                slots.set(cellIndex(bound(sum(vt{1000, 1000}, scale(k, dir[e])))), slotOf(7, 0));
        reproduce();
        const int32_t x = rings.kind == 0 ? NP[0].x : rings.kind == 1 ? NH[0].x : NC[0].x;
        const int32_t y = rings.kind == 0 ? NP[0].y : rings.kind == 1 ? NH[0].y : NC[0].y;
        EXPECT_EQ(x, 1000 + rings.farthest) << "kind " << rings.kind;
        EXPECT_EQ(y, 1000 - rings.farthest) << "kind " << rings.kind;
    }
}

// Each of the newborn's words is a crossover of the starting parent's word
// (above the cut) and the mate's, in a fixed order of words per kind: with
// the parent's words all ones, the mate's all zeros and the k-th cut drawn
// at bit k, a word's lowest set bit tells which crossover made it.
TEST_F(ReproduceTest, WordsAreCrossedStartingParentFirstInEachKindsOrder) {
    constexpr uint32_t kOnes = 0x7FFFFFFFu;
    const auto cutAt = [](int cut) { return kOnes & ~((1u << cut) - 1u); };
    std::vector<std::function<bool(int32_t)>> draws = {mateIndex(1, 2)};
    for (int cut = 1; cut <= 4; ++cut) {
        draws.push_back([cut](int32_t d) { return d % 31 == cut; });
        draws.push_back([](int32_t d) { return d < 31784; });  // no mutation
    }
    const uint32_t state = stateWhereDraws(draws);

    // Each mate qualifies once and falls below the threshold by giving.
    resetModel();
    PRenergy = 20.0f;
    takeCycleParams();
    addPlant(100, 100, 40.0f, kOnes, kOnes, 3);
    addPlant(200, 200, 24.0f, 0, 0, 3);
    seedRandom(state);
    reproduce();
    ASSERT_EQ(newPpop, 1);
    EXPECT_EQ(NP[0].chrom1, cutAt(1));
    EXPECT_EQ(NP[0].chrom2, cutAt(2));

    // A pair of animals of one kind: the newborn, once there is exactly one.
    const auto newbornOf = [&](auto add, RelaxedAtomic<float>& threshold, const int32_t& born,
                               animal* const& newborns) {
        resetModel();
        threshold = 79.0f;
        takeCycleParams();
        add(300, 300, 80.0f, kOnes, kOnes, kOnes, kOnes, 100);
        add(400, 400, 96.0f, 0, 0, 0, 0, 100);
        seedRandom(state);
        reproduce();
        EXPECT_EQ(born, 1);
        return newborns[0];
    };
    const animal herbivore = newbornOf(addHerbivore, HRenergy, newHpop, NH);
    EXPECT_EQ(herbivore.chrom1, cutAt(1));
    EXPECT_EQ(herbivore.chrom4, cutAt(2));
    EXPECT_EQ(herbivore.chrom3, cutAt(3));
    EXPECT_EQ(herbivore.chrom2, cutAt(4));
    const animal carnivore = newbornOf(addCarnivore, CRenergy, newCpop, NC);
    EXPECT_EQ(carnivore.chrom1, cutAt(1));
    EXPECT_EQ(carnivore.chrom3, cutAt(2));
    EXPECT_EQ(carnivore.chrom2, cutAt(3));
    EXPECT_EQ(carnivore.chrom4, cutAt(4));
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
