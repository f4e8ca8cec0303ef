#include "sim/look_up_cells.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "world/genes.h"

namespace kesmir {
namespace {

// The state n draws before `after`: the generator's period is 2^32.
uint32_t drawsBefore(int n, uint32_t after) {
    return RandomJump::of((uint64_t{1} << 32) - n).apply(after);
}

TEST(LookUpCellsTest, EightAtATimeGiveTheCellsOfOneAtATime) {
    if (!wideLookUpsAvailable()) GTEST_SKIP() << "no AVX2 here";
    initDir();
    std::mt19937 pick(5);
    // Wheels: random ones, none at all, a single direction, and ones whose
    // last float total rounds below 1 so that a draw of 32767 (a tie, left
    // to the floats) wraps round.
    std::vector<uint32_t> words{0u};
    for (int k = 1; k <= 8; ++k)
        words.push_back(7u << genes::directionWeight(k).first);
    int wrapping = 0;
    for (int n = 0; n < 4000 && wrapping < 4; ++n) {
        // Without a weight for E, the wrapped walk ends past E.
        const uint32_t word = pick() & ~(7u << genes::directionWeight(1).first);
        if (DirectionWheel(word).total(8) < 1.0f) {
            words.push_back(word);
            ++wrapping;
        }
    }
    ASSERT_GT(wrapping, 0);
    for (int n = 0; n < 6; ++n)
        words.push_back(pick());
    const vt positions[] = {
        {0, 0}, {kWorldSide - 1, kWorldSide - 1}, {3, kWorldSide - 2}, {1750, 900}};
    // A wheel of sevenths: the draw 14043 gives r = 3/7, the total after E.
    words.push_back(3u << genes::directionWeight(1).first | 4u << genes::directionWeight(3).first);
    // States where look-up j's direction draw is 32767 (r = 1), 0 (stay), 1 or
    // 14043, in every lane and in the lanes past the last look-up; and
    // random ones.
    std::vector<uint32_t> states;
    for (int j = 0; j < 64; ++j) {
        const uint32_t low = pick() & 0xFFFFu;
        for (const uint32_t draw : {32767u, 0u, 1u, 14043u})
            states.push_back(drawsBefore(2 * j + 2, draw << 16 | low));
        states.push_back(pick());
    }
    for (const uint32_t word : words) {
        const IntegerWheel wheel(word);
        for (int32_t m = 12; m <= 19; ++m)
            for (const vt p : positions)
                for (const uint32_t state : states)
                    for (const int count : {31, 59}) {
                        const LookUpOrigin origin{state, p, SmallDivisor::of(m), wheel};
                        std::vector<int32_t> plain(64, -1), wide(64, -1);
                        lookUpCellsPlain(origin, count, plain.data());
                        lookUpCellsWide(origin, count, wide.data());
                        ASSERT_EQ(plain, wide) << "chrom4 " << word << " reach " << m << " state "
                                               << state << " count " << count;
                    }
    }
}

}  // namespace
}  // namespace kesmir
