// A sweep's folder: one folder per run with a parameter file kesmir reads
// back and the run's settings, a job list, and a second start that goes on
// with the same sweep but refuses to mix in another.
#include "sweep/sweep_folder.h"

#include <gtest/gtest.h>

#include "files/parameter_file.h"
#include "sweep/scratch_folder.h"

namespace kesmir {
namespace {

const char* kExperiment = "seed = 4, 5\nCNoffset = 10..30 step 10\ncycles = 7\ntraits-every = 2\n";

TEST(SweepFolder, EachRunHasItsParametersSettingsAndJob) {
    ScratchFolder folder;
    Sweep sweep;
    std::string error;
    ASSERT_TRUE(
        layOutSweep(kExperiment, "exp.txt", folder.path() + "/out", "/bin/kes mir", sweep, error))
        << error;
    ASSERT_EQ(sweep.runs(), 6u);
    EXPECT_EQ(sweep.folderName(5), "run-005");
    // Run 5: seed 5, CNoffset 20.
    std::vector<ParameterSetting> settings;
    ASSERT_TRUE(readParameterFile(sweep.folder(5) + "/params.txt", settings, error)) << error;
    ASSERT_EQ(settings.size(), 15u);
    for (const ParameterSetting& setting : settings) {
        if (std::string(setting.parameter->name) == "CNoffset") {
            EXPECT_EQ(std::get<int32_t>(setting.value), 20);
        }
    }
    EXPECT_EQ(folder.read("out/run-005/run.txt"),
              "# run 5 of 6: the settings kesmir sweep run starts it with\n"
              "seed = 5\ncycles = 7\ntraits-every = 2\nthreads = 1\ncheckpoint-every = 200\n");
    const std::string jobs = folder.read("out/jobs.txt");
    EXPECT_NE(jobs.find("'/bin/kes mir' sweep run '" + sweep.dir + "' 6\n"), std::string::npos)
        << jobs;

    // The same experiment again (its comments changed) goes on with it.
    Sweep again;
    EXPECT_TRUE(layOutSweep(std::string("# again\n") + kExperiment, "exp.txt",
                            folder.path() + "/out", "kesmir", again, error))
        << error;
    EXPECT_TRUE(openSweep(folder.path() + "/out", again, error));
    EXPECT_EQ(again.runs(), 6u);
}

TEST(SweepFolder, AnotherExperimentOrAFolderOfOtherFilesIsRefused) {
    ScratchFolder folder;
    Sweep sweep;
    std::string error;
    ASSERT_TRUE(
        layOutSweep(kExperiment, "exp.txt", folder.path() + "/out", "kesmir", sweep, error));
    EXPECT_FALSE(layOutSweep("seed = 4, 5\nCNoffset = 10..30 step 10\ncycles = 8\n", "exp.txt",
                             folder.path() + "/out", "kesmir", sweep, error));
    EXPECT_NE(error.find("holds another experiment"), std::string::npos) << error;
    EXPECT_FALSE(layOutSweep("seed = 4\ncycles = 7\n", "exp.txt", folder.path() + "/out", "kesmir",
                             sweep, error));
    EXPECT_NE(error.find("holds another experiment (6 runs, not 1)"), std::string::npos) << error;

    folder.write("mine/notes.txt", "keep me");
    EXPECT_FALSE(
        layOutSweep(kExperiment, "exp.txt", folder.path() + "/mine", "kesmir", sweep, error));
    EXPECT_NE(error.find("holds no sweep"), std::string::npos) << error;
    EXPECT_FALSE(folder.exists("mine/run-001"));
}

}  // namespace
}  // namespace kesmir
