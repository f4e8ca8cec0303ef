#include <gtest/gtest.h>

#include "model_fixture.h"
#include "world/genes.h"
#include "world/random.h"

namespace kesmir::testing {
namespace {

auto exactly(int32_t value) {
    return [value](int32_t d) { return d == value; };
}
auto cutOf(int cut) {
    return [cut](int32_t d) { return d % 31 == cut; };
}
auto noMutation() {
    return [](int32_t d) { return d < 31784; };
}

TEST(RandomTest, DrawsFollowTheGeneratorFromSeedOne) {
    // The generator's first draws from state 1, worked out by hand:
    // 1 * 214013 + 2531011 = 2745024, >> 16 = 41; then the next state.
    seedRandom(1);
    EXPECT_EQ(draw(), 41);
    EXPECT_EQ(draw(), 18467);
    EXPECT_EQ(draw(), 6334);
}

TEST(RandomTest, fRanCoversZeroAndOneExactly) {
    seedRandom(stateBeforeDraw(32767));
    EXPECT_EQ(fRan(), 1.0f);
    seedRandom(stateBeforeDraw(0));
    EXPECT_EQ(fRan(), 0.0f);
    seedRandom(stateBeforeDraw(16384));
    EXPECT_EQ(fRan(), 16384.0f / 32767.0f);
}

TEST(RandomTest, LocalShortcutsKeepTheSequence) {
    // A jump over n draws (the longest ones as far as feeding jumps ahead)
    // and a pair of draws land where single draws do,
    // from states that wrap the 32-bit arithmetic.
    for (const uint32_t start : {1u, 0xFFFFFFFFu, 0x8000001Bu}) {
        for (const uint32_t n : {0u, 1u, 62u, 118u, 62u * 4097u + 3u, (1u << 20) + 12345u}) {
            seedRandom(start);
            for (uint32_t i = 0; i < n; ++i)
                draw();
            EXPECT_EQ(RandomJump::of(n).apply(start), randState) << start << " " << n;
        }
        seedRandom(start);
        const int32_t first = draw();
        const int32_t second = draw();
        seedRandom(start);
        LocalRandom local;
        int32_t a = -1, b = -1;
        local.drawTwo(a, b);
        local.commit();
        EXPECT_EQ(a, first);
        EXPECT_EQ(b, second);
        EXPECT_EQ(local.draw(), draw());
    }
}

TEST(CrossoverTest, CutSplitsTheWordsBetweenTheParents) {
    const uint32_t ones = 0xFFFFFFFFu;
    seedRandom(stateWhereDraws({cutOf(0), noMutation()}));
    EXPECT_EQ(crossover(ones, 0), ones);
    seedRandom(stateWhereDraws({cutOf(30), noMutation()}));
    EXPECT_EQ(crossover(ones, 0), 0xC0000000u);
    seedRandom(stateWhereDraws({cutOf(30), noMutation()}));
    EXPECT_EQ(crossover(0, ones), 0x7FFFFFFFu);
    seedRandom(stateWhereDraws({cutOf(0), noMutation()}));
    EXPECT_EQ(crossover(0, ones), 1u);
    // The cut bit is set when either parent has it.
    seedRandom(stateWhereDraws({cutOf(4), noMutation()}));
    EXPECT_EQ(crossover(0x10u, 0), 0x10u);
    seedRandom(stateWhereDraws({cutOf(4), noMutation()}));
    EXPECT_EQ(crossover(0, 0x1Fu), 0x1Fu);
}

TEST(CrossoverTest, MutatesExactlyFromDraw31784) {
    // Cut 0 keeps `first` whole, so any change is the mutation's.
    seedRandom(stateWhereDraws({cutOf(0), exactly(31783)}));
    EXPECT_EQ(crossover(0, 0), 0u);
    seedRandom(stateWhereDraws({cutOf(0), exactly(31784), cutOf(5)}));
    EXPECT_EQ(crossover(0, 0), 1u << 5);
    seedRandom(stateWhereDraws({cutOf(0), exactly(32767), cutOf(30)}));
    EXPECT_EQ(crossover(0, 0), 1u << 30);
}

TEST(CrossoverTest, TakesTwoDrawsOrThreeWhenItMutates) {
    auto drawsTaken = [](uint32_t start) {
        seedRandom(start);
        crossover(7, 9);
        const uint32_t after = randState;
        for (int taken = 0; taken < 5; ++taken) {
            seedRandom(start);
            for (int i = 0; i < taken; ++i)
                draw();
            if (randState == after) return taken;
        }
        return -1;
    };
    EXPECT_EQ(drawsTaken(stateWhereDraws({cutOf(3), exactly(32000)})), 3);
    EXPECT_EQ(drawsTaken(stateWhereDraws({cutOf(3), exactly(100)})), 2);
}

TEST(MutationTest, NeverTouchesBit31) {
    seedRandom(12345);
    for (int i = 0; i < 20000; ++i) {
        const uint32_t mutated = mutation(0x12345678u);
        EXPECT_EQ(mutated & 0x80000000u, 0u);
        EXPECT_EQ(__builtin_popcount(mutated ^ 0x12345678u), 1);
    }
}

// Every trait reads exactly the bits the gene table documents: all of them
// set give the field's largest value, all others set give 0.
TEST(GeneFieldTest, EveryTraitReadsExactlyItsDocumentedBits) {
    struct Bits {
        GeneField field;
        int first, last;
    };
    const Bits table[] = {
        {genes::plantMetabolism, 0, 1},
        {genes::plantAbsorption, 7, 9},
        {genes::plantSatiety, 10, 15},
        {genes::plantSenescence, 22, 25},
        {genes::plantPoison, 12, 17},
        {genes::plantSpines, 18, 23},
        {genes::animalMetabolism, 0, 2},
        {genes::animalAbsorption, 7, 9},
        {genes::herbivoreSatiety, 10, 15},
        {genes::carnivoreSatiety, 10, 13},
        {genes::animalMaturity, 16, 20},
        {genes::animalSenescence, 22, 26},
        {genes::herbivoreCamouflage, 0, 5},
        {genes::herbivoreSpineEating, 6, 11},
        {genes::herbivoreResistance, 12, 17},
        {genes::carnivoreSight, 0, 5},
        {genes::reach, 24, 26},
        {genes::speed, 28, 30},
    };
    for (const Bits& bits : table) {
        const uint32_t width = uint32_t(bits.last - bits.first + 1);
        const uint32_t ones = ((1u << width) - 1u) << bits.first;
        EXPECT_EQ(field(ones, bits.field), (1u << width) - 1u) << "bits " << bits.first;
        EXPECT_EQ(field(~ones, bits.field), 0u) << "bits " << bits.first;
    }
}

TEST(GeneFieldTest, DecodesFieldsAsUnsignedBitRanges) {
    EXPECT_EQ(field(0x00E00000u, genes::directionWeight(1)), 7u);  // E in bits 21-23
    EXPECT_EQ(field(0x00000007u, genes::directionWeight(8)), 7u);  // SE in bits 0-2
    EXPECT_EQ(field(0x00000038u, genes::directionWeight(7)), 7u);  // S in bits 3-5
    // A seeded word is one 15-bit draw: every field above bit 14 reads 0.
    EXPECT_EQ(field(32767u, genes::animalSenescence), 0u);
    EXPECT_EQ(field(32767u, genes::animalMaturity), 0u);
    EXPECT_EQ(field(32767u, genes::directionWeight(3)), 0u);
    EXPECT_EQ(field(32767u, genes::plantSatiety), 31u);
}

}  // namespace
}  // namespace kesmir::testing
