// What the engines are handed: the Slurm array's list of the runs not
// finished, and how many runs the plan starts at once.
#include "sweep/engines.h"

#include <gtest/gtest.h>

#include "sweep/run_state.h"
#include "sweep/scratch_folder.h"

namespace kesmir {
namespace {

TEST(Engines, TheArrayListsTheRunsNotFinishedAsRanges) {
    ScratchFolder folder;
    Sweep sweep;
    std::string error;
    ASSERT_TRUE(layOutSweep("seed = 1..10\ncycles = 3\nthreads = 2\n", "exp.txt", folder.path(),
                            "kesmir", sweep, error));
    EXPECT_EQ(pendingRanges(sweep), "1-10");
    for (const std::size_t run : {1, 4, 6, 10})
        writeRunState(sweep.folder(run), "finished", error);
    writeRunState(sweep.folder(7), "failed: exit code 2", error);  // tried again
    EXPECT_EQ(pendingRanges(sweep), "2-3,5,7-9");

    const SweepPlan plan = planSweep(sweep, 4, 0);
    EXPECT_EQ(plan.toRun, 6u);
    EXPECT_EQ(plan.threads, 2);
    EXPECT_GE(plan.jobs, 1);
    EXPECT_LE(plan.jobs * plan.threads, std::max(plan.cores, 2));
    EXPECT_EQ(planSweep(sweep, 4, 50).jobs, 6) << "never more at once than runs to run";
}

}  // namespace
}  // namespace kesmir
