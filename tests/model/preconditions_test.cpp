// What the threads' arrangements take for granted is checked where it is
// relied on: breaking it ends the process with a message instead of a
// deadlock or a run that no longer repeats.
#include <gtest/gtest.h>

#include <thread>

#include "sim/cycle_gate.h"
#include "sim/parallel/ordered_log.h"
#include "sim/parallel/worker_pool.h"

namespace kesmir::testing {
namespace {

class PreconditionsDeathTest : public ::testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    void TearDown() override { setSimulationThreads(1); }
};

TEST_F(PreconditionsDeathTest, AnOrderedLogNeedsASecondThread) {
    setSimulationThreads(1);
    EXPECT_DEATH(OrderedLog<int>::runChain([](OrderedLog<int>& log) { log.push(1); }, [](int) {},
                                           [](int) {}),
                 "an ordered log needs two threads");
}

TEST_F(PreconditionsDeathTest, ThePoolTakesOneTaskAtATimeAndKeepsItsSizeMeanwhile) {
    setSimulationThreads(2);
    EXPECT_DEATH(simulationPool().runOnAll([](int thread) {
        if (thread == 0) simulationPool().runOnAll([](int) {});
    }),
                 "asked for a task while one was running");
    EXPECT_DEATH(simulationPool().runOnAll([](int thread) {
        if (thread == 0) setSimulationThreads(3);
    }),
                 "resized while a task ran");
}

TEST_F(PreconditionsDeathTest, OneThreadHoldsTheSimulationAtATime) {
    cycleGate.setRunning(false);
    EXPECT_DEATH(std::thread([] { cycleGate.release(); }).join(),
                 "let go by a thread that did not hold it");
    cycleGate.hold();  // nothing runs: returns at once
    EXPECT_DEATH(std::thread([] { cycleGate.hold(); }).join(), "held by two threads at once");
    cycleGate.release();
}

}  // namespace
}  // namespace kesmir::testing
