// Collecting synthetic run folders: results.csv holds each run's own lines
// with its trait means, summary.csv the statistics over the seeds, and an
// unfinished run is listed, its rows so far included.
#include "sweep/collect.h"

#include <gtest/gtest.h>

#include "sweep/run_state.h"
#include "sweep/scratch_folder.h"

namespace kesmir {
namespace {

SummaryPicture drawn;
bool keepPicture(const SummaryPicture& picture, const std::string&, std::string&) {
    drawn = picture;
    return true;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

class Collect : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(layOutSweep("HRenergy = 60, 80\nseed = 1, 2\ncycles = 3\n", "exp.txt",
                                folder.path(), "kesmir", sweep, error))
            << error;
        // Runs 1 and 2: HRenergy 60, seeds 1 and 2; runs 3 and 4: HRenergy 80.
        finished(1, "0 10 20 30    0 0 0\n1 11 21 31    1 2 3\n2 12 22 32    0 0 0\n",
                 "cycle,kind,trait,count,mean,sd\n0,plant,poison,10,12.5,1\n"
                 "0,herbivore,resistance,20,,\n2,plant,poison,12,13.25,1\n"
                 "2,herbivore,resistance,22,3,1\n");
        finished(2, "0 14 24 34    0 0 0\n1 15 25 35    0 0 0\n2 16 26 36    0 0 0\n",
                 "cycle,kind,trait,count,mean,sd\n0,plant,poison,14,10.5,1\n");
        finished(3, "0 1 2 3    0 0 0\n1 1 2 3    0 0 0\n2 5 6 7    0 0 0\n", "");
        folder.write(sweep.folderName(4) + "/dt.dat", "0 3 4 5    0 0 0\n1 3 4 5    0 0 0\n");
    }

    void finished(std::size_t run, const std::string& log, const std::string& traits) {
        folder.write(sweep.folderName(run) + "/dt.dat", log);
        if (!traits.empty()) folder.write(sweep.folderName(run) + "/traits.csv", traits);
        std::string error;
        writeRunState(sweep.folder(run), "finished", error);
    }

    ScratchFolder folder;
    Sweep sweep;
};

TEST_F(Collect, ResultsHoldEachRunsLinesAndTraitMeans) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(collectSweep(sweep, keepPicture), 0);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("1 of 4 runs have not finished; their rows so far are included: "
                            "run-004 (waiting, 2 of 3 cycles)"),
              std::string::npos)
        << messages;
    const auto rows = linesOf(folder.read("results.csv"));
    ASSERT_EQ(rows.size(), 1u + 3 + 3 + 3 + 2);
    EXPECT_EQ(rows[0],
              "run,seed,HRenergy,cycle,plants,herbivores,carnivores,plant_poison,"
              "herbivore_resistance");
    EXPECT_EQ(rows[1], "1,1,60,0,10,20,30,12.5,");  // an empty kind's mean stays empty
    EXPECT_EQ(rows[2], "1,1,60,1,11,21,31,,");      // no trait row this cycle
    EXPECT_EQ(rows[3], "1,1,60,2,12,22,32,13.25,3");
    EXPECT_EQ(rows[4], "2,2,60,0,14,24,34,10.5,");
    EXPECT_EQ(rows[9], "3,1,80,2,5,6,7,,");
    EXPECT_EQ(rows[11], "4,2,80,1,3,4,5,,");
}

TEST_F(Collect, SummaryGivesMeanLowestAndHighestOverTheSeeds) {
    testing::internal::CaptureStderr();
    collectSweep(sweep, keepPicture);
    testing::internal::GetCapturedStderr();
    const auto rows = linesOf(folder.read("summary.csv"));
    ASSERT_EQ(rows.size(), 1u + 3 + 3);
    EXPECT_EQ(rows[0].substr(0, 54), "HRenergy,cycle,runs,plants_mean,plants_min,plants_max,");
    // plants, herbivores, carnivores, then the traits (poison over both seeds).
    EXPECT_EQ(rows[1], "60,0,2,12,10,14,22,20,24,32,30,34,11.5,10.5,12.5,,,");
    EXPECT_EQ(rows[3], "60,2,2,14,12,16,24,22,26,34,32,36,13.25,13.25,13.25,3,3,3");
    EXPECT_EQ(rows[6], "80,2,1,5,5,5,6,6,6,7,7,7,,,,,,") << "the unfinished run has no cycle 2";

    ASSERT_EQ(drawn.panels.size(), 2u);
    EXPECT_EQ(drawn.panels[0].title, "HRenergy = 60; 2 runs");
    ASSERT_EQ(drawn.panels[0].races.size(), 2u);  // poison against resistance only
    const SummarySeries& poison = drawn.panels[0].races[0];
    ASSERT_EQ(poison.cycles, (std::vector<double>{0, 2}));
    EXPECT_DOUBLE_EQ(poison.mean[0], (11.5 + 1) / 65);
    EXPECT_DOUBLE_EQ(poison.highest[0], (12.5 + 1) / 65);
    EXPECT_EQ(drawn.panels[1].populations[2].highest, (std::vector<double>{5, 5, 7}));
}

TEST_F(Collect, AMalformedLineIsReportedAndTheRestCollected) {
    folder.write(sweep.folderName(2) + "/dt.dat", "0 14 24 34    0 0 0\n1 x\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(collectSweep(sweep, nullptr), 1);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("run-002/dt.dat': the line of cycle 1 is not a population line"),
              std::string::npos)
        << messages;
    EXPECT_NE(messages.find("summary.png is left out"), std::string::npos) << messages;
    EXPECT_EQ(linesOf(folder.read("results.csv")).size(), 1u + 3 + 1 + 3 + 2);
}

}  // namespace
}  // namespace kesmir
