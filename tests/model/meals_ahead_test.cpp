// Work done ahead on other threads and checked in order, against the pass of
// one thread: feeding works out every eater's meals ahead and feeds again an
// eater whose meal an earlier eater took first. In a crowd, where most
// predictions fail, and far apart, where none may.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "ahead_outcome.h"
#include "model_fixture.h"
#include "sim/cull.h"
#include "sim/eat.h"
#include "sim/feeding.h"
#include "sim/parallel/worker_pool.h"
#include "sim/step_timings.h"
#include "world/genes.h"
#include "world_fingerprint.h"

namespace kesmir::testing {
namespace {

constexpr uint32_t kHungryHerbivore = 63u << 10;  // chrom1: satiety 63 + HSoffset
constexpr uint32_t kHungryCarnivore = 15u << 10;  // chrom1: satiety 15 + CSoffset
constexpr int32_t kLongestList = 20000;

using Outcome = AheadOutcome;

// The step on 2, 3 and 8 threads leaves the bits it leaves on one; what
// was worked out ahead, and again, is checked by `counted`.
void expectAsOnOneThread(const std::function<Outcome(int)>& run,
                         const std::function<void(const AheadCounts&)>& counted) {
    const Outcome one = run(1);
    for (const int threads : {2, 3, 8}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        const Outcome many = run(threads);
        EXPECT_EQ(many.fingerprint, one.fingerprint);
        counted(many.ahead);
    }
}

Outcome eatOn(int threads, const std::function<void()>& build) {
    return stepOnThreads(threads, kLongestList, build, eat, feedingAheadCounts);
}

// Eaters packed around a block of poor plants and of herbivores: each eater
// finds food that the eaters before it in the list also found.
void crowd() {
    for (int32_t x = 0; x < 30; ++x)
        for (int32_t y = 0; y < 30; ++y)
            addPlant(1000 + x, 1000 + y, 5.0f);
    for (int32_t i = 0; i < 2000; ++i)
        addHerbivore(995 + i % 40, 995 + i / 40, 1.0f, kHungryHerbivore, 0, 0, kEveryDirection);
    for (int32_t i = 0; i < 400; ++i)
        addCarnivore(1000 + i % 20, 1010 + i / 20, 0.5f, kHungryCarnivore, 0, 0, kEveryDirection);
}

// Every eater alone with its food, farther from the next than two reaches.
void apart() {
    for (int32_t i = 0; i < 400; ++i) {
        const int32_t x = 100 + 45 * (i % 20), y = 100 + 45 * (i / 20);
        addHerbivore(x, y, 1.0f, kHungryHerbivore, 0, 0, kEveryDirection);
        for (int32_t dx = -3; dx <= 3; ++dx)
            for (int32_t dy = -3; dy <= 3; ++dy)
                addPlant(x + dx, y + dy, 40.0f);
    }
    for (int32_t i = 0; i < 200; ++i) {
        const int32_t x = 100 + 45 * (i % 20), y = 2000 + 45 * (i / 20);
        addCarnivore(x, y, 0.5f, kHungryCarnivore, 0, 0, kEveryDirection);
        for (int32_t dx = -2; dx <= 2; dx += 2)
            for (int32_t dy = -2; dy <= 2; dy += 2)
                addHerbivore(x + dx, y + dy, 40.0f, 0);
    }
}

TEST(MealsAhead, ACrowdIsMostlyFedAgainAndEndsAsOneThreadEnds) {
    expectAsOnOneThread([](int threads) { return eatOn(threads, crowd); },
                        [](const AheadCounts& counts) {
                            EXPECT_GT(counts.worked, 0);
                            EXPECT_GT(counts.redone * 2, counts.worked);
                        });
}

TEST(MealsAhead, EatersApartAreNeverFedAgain) {
    expectAsOnOneThread([](int threads) { return eatOn(threads, apart); },
                        [](const AheadCounts& counts) {
                            EXPECT_EQ(counts.worked, 600);
                            EXPECT_EQ(counts.redone, 0);
                        });
}

// What the benchmark takes for the serial part: the chain of feeding is
// timed apart from the step, within the time the step takes; a step that
// splits all its work, like culling, has none.
TEST(MealsAhead, TheChainIsTimedAsFeedingsSerialPart) {
    resetModel();
    crowd();
    stepTimings.clear();
    setSimulationThreads(2);
    const auto start = std::chrono::steady_clock::now();
    eat();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    cull();
    setSimulationThreads(1);
    EXPECT_GT(stepTimings.serialMilliseconds(Step::eat), 0.0);
    EXPECT_LE(stepTimings.serialMilliseconds(Step::eat), spent.count());
    EXPECT_EQ(stepTimings.serialMilliseconds(Step::cull), 0.0);
    EXPECT_EQ(stepTimings.milliseconds(Step::eat),
              0.0);  // the step's own time is the cycle's to take
}

}  // namespace
}  // namespace kesmir::testing
