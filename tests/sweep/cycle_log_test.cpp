// A run's logs across resumes: the lines before the checkpoint's cycle are
// kept aside, read back in front of the resumed file without repeats, and
// joined into one file once the run has finished.
#include "sweep/cycle_log.h"

#include <gtest/gtest.h>

#include "sweep/scratch_folder.h"

namespace kesmir {
namespace {

std::string readAll(const std::string& folder, const std::string& name) {
    CycleLogReader reader(folder, name);
    std::string text;
    int64_t cycle = 0;
    std::string_view line;
    while (reader.next(cycle, line))
        text += std::to_string(cycle) + ":" + std::string(line) + "\n";
    return text;
}

TEST(CycleLog, ResumesKeepTheEarlierLinesAndJoinThemAtTheEnd) {
    ScratchFolder run;
    // Cycles 0..6 logged; the checkpoint is of cycle 4; kesmir empties the
    // file and logs from 4 on again.
    run.write("traits.csv", "cycle,kind\n0,a\n0,b\n2,a\n4,a\n6,a\n");
    std::string error;
    ASSERT_TRUE(keepEarlierLines(run.path(), "traits.csv", 4, error)) << error;
    EXPECT_EQ(run.read("traits.csv.earlier"), "cycle,kind\n0,a\n0,b\n2,a\n");
    run.write("traits.csv", "cycle,kind\n4,a\n6,a\n8,a\n8,b\n9,partial");
    EXPECT_EQ(readAll(run.path(), "traits.csv"),
              "0:0,a\n0:0,b\n2:2,a\n4:4,a\n6:6,a\n8:8,a\n8:8,b\n");

    // Stopped again before kesmir emptied the file, then resumed from 6:
    // the lines already kept are not repeated.
    run.write("traits.csv", "cycle,kind\n0,a\n0,b\n2,a\n4,a\n6,a\n");
    ASSERT_TRUE(keepEarlierLines(run.path(), "traits.csv", 6, error)) << error;
    EXPECT_EQ(run.read("traits.csv.earlier"), "cycle,kind\n0,a\n0,b\n2,a\n4,a\n");

    run.write("traits.csv", "cycle,kind\n6,a\n8,a\n");
    ASSERT_TRUE(joinEarlierLines(run.path(), "traits.csv", error)) << error;
    EXPECT_EQ(run.read("traits.csv"), "cycle,kind\n0,a\n0,b\n2,a\n4,a\n6,a\n8,a\n");
    EXPECT_FALSE(run.exists("traits.csv.earlier"));
}

TEST(CycleLog, AFileMissingIsLeftMissing) {
    ScratchFolder run;
    std::string error;
    EXPECT_TRUE(keepEarlierLines(run.path(), "histograms.csv", 10, error));
    EXPECT_TRUE(joinEarlierLines(run.path(), "histograms.csv", error));
    EXPECT_FALSE(run.exists("histograms.csv.earlier"));
    EXPECT_FALSE(CycleLogReader(run.path(), "histograms.csv").exists());
}

TEST(CycleLog, LinesLongerThanTheBufferReadWhole) {
    ScratchFolder run;
    const std::string longLine = "7 " + std::string(200000, 'x');
    run.write("dt.dat", "6 1 2 3\n" + longLine + "\n");
    EXPECT_EQ(readAll(run.path(), "dt.dat"), "6:6 1 2 3\n7:" + longLine + "\n");
}

}  // namespace
}  // namespace kesmir
