// Moves with a thread working out targets ahead, against the ordered pass of
// one thread: in a seeded world, in a crowd where most movers try again and
// most worked-out moves are made again, and far apart where none are.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model_fixture.h"
#include "sim/move.h"
#include "sim/parallel/worker_pool.h"
#include "world_fingerprint.h"

namespace kesmir::testing {
namespace {

constexpr uint32_t kEveryDirection = 0x00FFFFFFu;  // chrom4: all eight weights 7, reach 12
constexpr int32_t kLongestList = 80000;

struct Outcome {
    uint64_t fingerprint;
    uint32_t state;
    AheadCounts ahead;  // of these moves alone
};

Outcome moveOn(int threads, const std::function<void()>& build) {
    ScratchDirectory scratch;
    resetModel();
    build();
    setSimulationThreads(threads);
    const AheadCounts before = movesAheadCounts();
    moveHerbivores();
    const AheadCounts after = movesAheadCounts();
    const uint32_t state = randState;
    Outcome outcome{worldFingerprint(kLongestList),
                    state,
                    {after.worked - before.worked, after.redone - before.redone}};
    setSimulationThreads(1);
    return outcome;
}

void expectAsOnOneThread(const std::function<void()>& build,
                         const std::function<void(const AheadCounts&)>& counted) {
    const Outcome one = moveOn(1, build);
    for (const int threads : {2, 3, 8}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        const Outcome many = moveOn(threads, build);
        EXPECT_EQ(many.fingerprint, one.fingerprint);
        EXPECT_EQ(many.state, one.state);
        counted(many.ahead);
    }
}

TEST(MovesAhead, ASeededWorldMovesAsOnOneThread) {
    expectAsOnOneThread([] { seedSmallWorld(100000, 70000, 1000); },
                        [](const AheadCounts& counts) {
                            EXPECT_EQ(counts.worked, 70000);
                            EXPECT_LT(counts.redone * 10, counts.worked);
                        });
}

// A packed block: most targets fall inside it and are tried again; how many
// worked-out moves go stale depends on how far ahead the thread ran.
TEST(MovesAhead, ACrowdIsOftenMovedAgainAndEndsAsOneThreadEnds) {
    expectAsOnOneThread(
        [] {
            for (int32_t i = 0; i < 6000; ++i)
                addHerbivore(900 + i % 60, 900 + i / 60, 1.0f, 0, 0, 0, kEveryDirection);
        },
        [](const AheadCounts& counts) {
            EXPECT_EQ(counts.worked, 6000);
            EXPECT_GT(counts.redone * 4, counts.worked);
        });
}

TEST(MovesAhead, MoversApartAreNeverMovedAgain) {
    expectAsOnOneThread(
        [] {
            for (int32_t i = 0; i < 900; ++i)
                addHerbivore(100 + 60 * (i % 30), 100 + 60 * (i / 30), 1.0f, 0, 0, 0,
                             kEveryDirection);
        },
        [](const AheadCounts& counts) {
            EXPECT_EQ(counts.worked, 900);
            EXPECT_EQ(counts.redone, 0);
        });
}

}  // namespace
}  // namespace kesmir::testing
