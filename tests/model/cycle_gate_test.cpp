// Where a hold (a spot sample) parks the simulation: at once during its
// delay sleep, and after the step in progress rather than at the end of the
// cycle.
//
// A hold asked for while the simulation is not running returns at once and
// stays asked for, so the simulation, once started, parks at the first
// point that serves holds; the second hold() waits until it is parked there.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "model_fixture.h"
#include "sim/cycle_gate.h"
#include "sim/eco_node.h"
#include "sim/population_log.h"
#include "sim/run_control.h"

namespace kesmir::testing {
namespace {

class CycleGateTest : public ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        for (int i = 0; i < 20; ++i) {
            addPlant(10 + i, 10, 50.0f);
            addHerbivore(10 + i, 20, 100.0f);
            addCarnivore(10 + i, 30, 200.0f);
        }
        stepTimings.clear();
        startRunControl();
        cycleGate.setRunning(false);
        cycleGate.hold();  // not running: returns, the request stands
    }

    // Starts `run` on the simulation thread and returns once it is parked.
    template <class Run>
    std::thread startParked(Run run) {
        cycleGate.setRunning(true);
        std::thread simulation([this, run] {
            run();
            finished_ = true;
            cycleGate.setRunning(false);
        });
        cycleGate.hold();
        return simulation;
    }

    ScratchDirectory scratch_;
    std::atomic<bool> finished_{false};
};

TEST_F(CycleGateTest, AHoldIsServedDuringTheDelaySleep) {
    delay = 400;
    startPopulationLog();
    std::thread simulation = startParked([] { runCycle(); });
    // Parked before the cycle's status and log lines, i.e. in the sleep.
    EXPECT_FALSE(finished_);
    EXPECT_EQ(readFile(kPopulationLogFile), "");
    cycleGate.release();
    simulation.join();
    EXPECT_EQ(kk, 1);
    EXPECT_NE(readFile(kPopulationLogFile), "");
}

TEST_F(CycleGateTest, AHoldIsServedBetweenSteps) {
    std::thread simulation = startParked([] { runCycleSteps(); });
    // Parked after the herbivores moved and before the carnivores did: the
    // hold waited for one step, not for the cycle.
    EXPECT_FALSE(finished_);
    EXPECT_GT(stepTimings.milliseconds(Step::moveHerbivores), 0.0);
    EXPECT_EQ(stepTimings.milliseconds(Step::moveCarnivores), 0.0);
    cycleGate.release();
    simulation.join();
    EXPECT_TRUE(finished_);
}

}  // namespace
}  // namespace kesmir::testing
