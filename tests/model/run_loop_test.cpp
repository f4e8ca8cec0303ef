// The run loop: why it ends (the stop rule at its boundary, the cycle limit,
// a quit request) and at which cycle boundaries it writes the gene sample,
// checkpoints and pictures. A sparse world of sated organisms that neither
// breed nor age to death keeps its counts, so each case knows the counts the
// stop rule sees.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "files/checkpoint_file.h"
#include "files/checkpoint_history.h"
#include "model_fixture.h"
#include "seed/gene_sample_file.h"
#include "sim/checkpoints.h"
#include "sim/cycle_params.h"
#include "sim/eco_node.h"
#include "sim/population_log.h"
#include "sim/run_control.h"

namespace kesmir::testing {
namespace {

class RunLoopTest : public ::testing::Test {
  protected:
    void SetUp() override { runSettings = RunSettings{}; }
    void TearDown() override {
        runSettings = RunSettings{};
        resetRunControl();
    }

    // A fresh model with each kind on a row of its own, all above their
    // satiety levels.
    static void startSparseWorld(int32_t plants, int32_t herbivores, int32_t carnivores) {
        resetModel();
        delay = 0;
        startRunControl();
        for (RelaxedAtomic<float>* threshold : {&PRenergy, &HRenergy, &CRenergy})
            *threshold = 1e6f;  // out of reach, and within the parameter's range
        for (RelaxedAtomic<int32_t>* senescence : {&PNoffset, &HNoffset, &CNoffset})
            *senescence = 1000000;
        for (int32_t i = 0; i < plants; ++i)
            addPlant(100 + 100 * i, 100, 1000.0f);
        for (int32_t i = 0; i < herbivores; ++i)
            addHerbivore(100 + 100 * i, 1000, 1000.0f);
        for (int32_t i = 0; i < carnivores; ++i)
            addCarnivore(100 + 100 * i, 2000, 1000.0f);
    }

    // Runs the loop from cycle `from` up to the cycle limit `to`.
    static RunEnd runFromTo(int32_t from, int64_t to) {
        kk = from;
        runSettings.cycleLimit = to;
        return runCycles();
    }

    ScratchDirectory scratch_;
};

TEST_F(RunLoopTest, StopRuleEndsTheRunOnceAKindIsDownToOneOrNone) {
    struct Case {
        int32_t plants, herbivores, carnivores;
    };
    const std::vector<Case> cases = {{2, 2, 2}, {1, 2, 2}, {0, 2, 2}, {2, 1, 2},
                                     {2, 0, 2}, {2, 2, 1}, {2, 2, 0}};
    for (const Case& c : cases) {
        startSparseWorld(c.plants, c.herbivores, c.carnivores);
        const bool collapse = c.plants <= 1 || c.herbivores <= 1 || c.carnivores <= 1;
        const std::string counts = std::to_string(c.plants) + " " + std::to_string(c.herbivores) +
                                   " " + std::to_string(c.carnivores);
        // The counts are tested after a cycle, never before the first.
        EXPECT_EQ(runFromTo(0, 2), collapse ? RunEnd::populationCollapsed : RunEnd::cycleLimit)
            << counts;
        EXPECT_EQ(kk, collapse ? 1 : 2) << counts;
        EXPECT_EQ(Ppop, c.plants);
        EXPECT_EQ(Hpop, c.herbivores);
        EXPECT_EQ(Cpop, c.carnivores);
    }
}

TEST_F(RunLoopTest, CycleLimitEndsTheRunAfterExactlyThatCycle) {
    startSparseWorld(3, 3, 3);
    EXPECT_EQ(runFromTo(0, 0), RunEnd::cycleLimit);
    EXPECT_EQ(kk, 0);
    EXPECT_EQ(readFile(kPopulationLogFile), "");  // not a line: no cycle ran
    EXPECT_EQ(runFromTo(0, 3), RunEnd::cycleLimit);
    EXPECT_EQ(kk, 3);
    const std::string log = readFile(kPopulationLogFile);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    // A resumed count already at the limit runs nothing; one below runs on.
    EXPECT_EQ(runFromTo(7, 7), RunEnd::cycleLimit);
    EXPECT_EQ(kk, 7);
    EXPECT_EQ(runFromTo(7, 8), RunEnd::cycleLimit);
    EXPECT_EQ(kk, 8);
    EXPECT_EQ(readFile(kPopulationLogFile), log + "7 3 3 3    0 0 0\n");
}

TEST_F(RunLoopTest, QuitRequestEndsTheRunBeforeTheNextCycleAndLeavesAPause) {
    startSparseWorld(3, 3, 3);
    requestQuit();
    EXPECT_EQ(runFromTo(0, 5), RunEnd::quitRequested);
    EXPECT_EQ(kk, 0);

    resetRunControl();
    startRunControl();
    std::optional<PauseRequest> pause(std::in_place);
    std::atomic<bool> ended{false};
    RunEnd end = RunEnd::cycleLimit;
    std::thread simulation([&] {
        end = runFromTo(0, 5);
        ended = true;
    });
    // Paused in its first cycle once the cycle's log line is written.
    while (readFile(kPopulationLogFile).empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    requestQuit();
    for (int waited = 0; !ended && waited < 5000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(ended) << "still paused 5 s after the quit request";
    pause.reset();
    simulation.join();
    EXPECT_EQ(end, RunEnd::quitRequested);
    EXPECT_EQ(kk, 0);  // the paused cycle's steps never ran
}

// The gene sample is drawn every 1000th cycle, never at 0, from the lists
// as the cycle starts (every organism then two cycles old, not three).
TEST_F(RunLoopTest, GeneSampleIsStoredBeforeTheStepsOfEvery1000thCycle) {
    startSparseWorld(3, 3, 3);
    runFromTo(0, 1);
    EXPECT_FALSE(std::filesystem::exists(kGeneSampleFile));
    startSparseWorld(3, 3, 3);
    runFromTo(999, 1000);
    EXPECT_FALSE(std::filesystem::exists(kGeneSampleFile));
    runFromTo(1000, 1001);
    const std::string sample = readFile(kGeneSampleFile);
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\n'), 3 * kGeneSampleLines);
    EXPECT_TRUE(std::regex_search(sample, std::regex("^0 0 0 [0-9.]+ 2\n")));
    EXPECT_FALSE(std::regex_search(sample, std::regex(" [013]\n")));
}

// Which cycles' boundaries wrote a checkpoint, as told on stderr.
std::vector<int> savedCycles(const std::string& told) {
    std::vector<int> cycles;
    const std::regex saved("kesmir: cycle ([0-9]+) saved in ");
    for (auto it = std::sregex_iterator(told.begin(), told.end(), saved);
         it != std::sregex_iterator(); ++it)
        cycles.push_back(std::stoi((*it)[1]));
    return cycles;
}

TEST_F(RunLoopTest, CheckpointsAtPositiveMultiplesAndOnceWhenAsked) {
    startSparseWorld(3, 3, 3);
    runSettings.checkpointEvery = 2;
    ::testing::internal::CaptureStderr();
    runFromTo(0, 5);
    EXPECT_EQ(savedCycles(::testing::internal::GetCapturedStderr()), (std::vector<int>{2, 4}));

    runSettings.checkpointEvery = 0;
    checkpointRequested = true;
    ::testing::internal::CaptureStderr();
    runFromTo(5, 7);
    EXPECT_EQ(savedCycles(::testing::internal::GetCapturedStderr()), std::vector<int>{5});
}

// A dialog's change that lands after the cycle took its parameters runs from
// the next cycle, so the cycle's checkpoint holds the values taken.
TEST_F(RunLoopTest, ACheckpointHoldsTheParametersTheCycleRunsWith) {
    startSparseWorld(3, 3, 3);
    clearHistories();  // those of earlier runs would not fit a run at cycle 0
    HRenergy = 70.0f;
    takeCycleParams();
    HRenergy = 80.0f;
    checkpointRequested = true;
    ::testing::internal::CaptureStderr();
    storeCheckpointIfDue();
    ::testing::internal::GetCapturedStderr();
    std::string error;
    ASSERT_TRUE(readCheckpoint(kCheckpointFile, error)) << error;
    EXPECT_EQ(float(HRenergy), 70.0f);
}

std::vector<int32_t> picturesTaken;

TEST_F(RunLoopTest, PicturesEveryNthCycleFromCycle0) {
    startSparseWorld(3, 3, 3);
    picturesTaken.clear();
    runSettings.savePicture = [](int32_t cycle) { picturesTaken.push_back(cycle); };
    runFromTo(0, 5);
    EXPECT_TRUE(picturesTaken.empty());  // every 0 cycles: never
    runSettings.pictureEvery = 2;
    runFromTo(0, 5);
    EXPECT_EQ(picturesTaken, (std::vector<int32_t>{0, 2, 4}));
}

}  // namespace
}  // namespace kesmir::testing
