// Moves with a thread working out targets ahead, against the ordered pass of
// one thread: in a seeded world, in a crowd where most movers try again and
// most worked-out moves are made again, and far apart where none are. How
// many are made again is checked with every mover worked out first, which
// makes it independent of timing.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ahead_outcome.h"
#include "model_fixture.h"
#include "sim/move.h"
#include "sim/parallel/worker_pool.h"
#include "world_fingerprint.h"

namespace kesmir::testing {
namespace {

constexpr int32_t kLongestList = 80000;

using Outcome = AheadOutcome;

Outcome moveOn(int threads, const std::function<void()>& build, const std::function<void()>& move) {
    ScratchDirectory scratch;
    return stepOnThreads(threads, kLongestList, build, move, movesAheadCounts);
}

// The moves on 2, 3 and 8 threads as they run, and worked out first on two;
// returns the counts of the latter.
AheadCounts expectAsOnOneThread(const std::function<void()>& build) {
    const Outcome one = moveOn(1, build, moveHerbivores);
    for (const int threads : {2, 3, 8}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        const Outcome many = moveOn(threads, build, moveHerbivores);
        EXPECT_EQ(many.fingerprint, one.fingerprint);
        EXPECT_EQ(many.state, one.state);
        EXPECT_EQ(many.ahead.worked, Hpop);
    }
    const Outcome first = moveOn(
        2, build, [] { moveOnTwoThreads(HL, Hpop, E.herbivore, 1, AheadPace::workedOutFirst); });
    EXPECT_EQ(first.fingerprint, one.fingerprint);
    EXPECT_EQ(first.state, one.state);
    EXPECT_EQ(first.ahead.alone, 0);
    return first.ahead;
}

TEST(MovesAhead, ASeededWorldMovesAsOnOneThread) {
    const Outcome one = moveOn(
        1, [] { seedSmallWorld(100000, 70000, 1000); }, moveHerbivores);
    for (const int threads : {2, 3, 8}) {
        const Outcome many = moveOn(
            threads, [] { seedSmallWorld(100000, 70000, 1000); }, moveHerbivores);
        EXPECT_EQ(many.fingerprint, one.fingerprint) << threads << " threads";
        EXPECT_EQ(many.state, one.state) << threads << " threads";
    }
}

// A block with two movers on every cell: most tries fall inside it, and a
// move with more tries than are kept for the check is made again.
TEST(MovesAhead, ACrowdIsMostlyMovedAgainAndEndsAsOneThreadEnds) {
    const AheadCounts counts = expectAsOnOneThread([] {
        for (int32_t i = 0; i < 4000; ++i)
            addHerbivore(900 + i / 2 % 45, 900 + i / 90, 1.0f, 0, 0, 0, kEveryDirection);
    });
    EXPECT_EQ(counts.worked, 4000);
    EXPECT_GT(counts.redone * 2, counts.worked);
}

TEST(MovesAhead, MoversApartAreNeverMovedAgain) {
    const AheadCounts counts = expectAsOnOneThread([] {
        for (int32_t i = 0; i < 900; ++i)
            addHerbivore(100 + 60 * (i % 30), 100 + 60 * (i / 30), 1.0f, 0, 0, 0, kEveryDirection);
    });
    EXPECT_EQ(counts.worked, 900);
    EXPECT_EQ(counts.redone, 0);
}

// A row stepping west, listed from the west end: each mover's only target
// is the cell the mover before it has just left. The thread ahead tests it
// against its own bits, which already hold that move, so none is made again.
TEST(MovesAhead, MovesWorkedOutAheadSeeTheCellsEarlierMoversLeft) {
    constexpr uint32_t kWestOnly = 7u << 9;  // reach 1
    const AheadCounts counts = expectAsOnOneThread([] {
        for (int32_t i = 0; i < 20; ++i)
            addHerbivore(101 + i, 100, 1.0f, 0, 0, 0, kWestOnly);
        for (int32_t i = 0; i < 900; ++i)
            addHerbivore(400 + 60 * (i % 30), 400 + 60 * (i / 30), 1.0f, 0, 0, 0, kEveryDirection);
    });
    EXPECT_EQ(counts.redone, 0);
}

}  // namespace
}  // namespace kesmir::testing
