// Every way the process ends leaves the files it was writing whole or as
// they were, and no temporary file behind; a start removes what a killed run
// left. The cases that end the process run in a child (a death test).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "files/nutrient_file.h"
#include "files/safe_file.h"
#include "files/temporary_files.h"
#include "files/writes_in_progress.h"
#include "model_fixture.h"

namespace kesmir::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesHere() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void waitForATemporaryFile() {
    for (int i = 0; i < 10000; ++i) {
        for (const std::string& name : filesHere())
            if (temporaryFileWriter(name) != 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

using WritesInProgressDeathTest = ModelTest;

// A write in progress when the process ends is finished first: a slow one,
// the N key's, whose write must count from the key press on, and one
// announced ahead that has not begun when the end comes (a picture being
// encoded).
TEST_F(WritesInProgressDeathTest, TheEndWaitsForWritesInProgress) {
    ScratchDirectory scratch;
    EXPECT_EXIT(
        {
            std::thread([ahead = std::make_unique<WriteAhead>()]() mutable {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                AtomicFileWriter file("late.dat");
                file.write("late");
                file.commit();
                ahead.reset();
            }).detach();
            std::thread([] {
                AtomicFileWriter file("slow.dat");
                file.write("begun, ");
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                file.write("finished");
                file.commit();
            }).detach();
            waitForATemporaryFile();
            logNutrientsInBackground();
            finishWritesInProgress();
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(readFile("slow.dat"), "begun, finished");
    EXPECT_EQ(fs::file_size(kNutrientFile), std::uintmax_t{11} * kCells);  // "250.000000 "
    EXPECT_EQ(readFile("late.dat"), "late");
    EXPECT_EQ(filesHere(), (std::vector<std::string>{"late.dat", "nut.dat", "slow.dat"}));
}

// SIGINT and SIGTERM, wherever they land, remove the temporary file of a
// write in progress and end the process as the signal does; the old file
// stays. A write that never finishes is given up at exit, its file removed.
TEST_F(WritesInProgressDeathTest, SignalsAndAHungWriteLeaveNoTemporaryFile) {
    ScratchDirectory scratch;
    const auto writeForEver = [] {
        std::thread([] {
            AtomicFileWriter file("nut.dat");
            file.write("new");
            std::this_thread::sleep_for(std::chrono::hours(1));
        }).detach();
        waitForATemporaryFile();
    };
    for (int signal : {SIGINT, SIGTERM}) {
        writeFile("nut.dat", "old");
        EXPECT_EXIT(
            {
                removeTemporaryFilesOnSignals();
                writeForEver();
                ::kill(::getpid(), signal);
                std::this_thread::sleep_for(std::chrono::seconds(10));
            },
            ::testing::KilledBySignal(signal), "");
        EXPECT_EQ(filesHere(), std::vector<std::string>{"nut.dat"}) << strsignal(signal);
        EXPECT_EQ(readFile("nut.dat"), "old");
    }
    EXPECT_EXIT(
        {
            writeForEver();
            finishWritesInProgress(std::chrono::milliseconds(200));
            std::_Exit(filesHere() == std::vector<std::string>{"nut.dat"} ? 0 : 1);
        },
        ::testing::ExitedWithCode(0),
        "^kesmir: 1 file write did not finish within 0.2 s; its temporary file is removed\n$");
}

TEST(TemporaryFilesTest, OnlyFilesOfEndedWritersAreRemovedAtStart) {
    ScratchDirectory scratch;
    EXPECT_EQ(temporaryFileWriter(temporaryPathFor("spot.dat", 12)), ::getpid());
    const std::string dead = std::to_string(endedProcess());
    const std::string own = std::to_string(::getpid());
    const std::vector<std::string> kept = {
        "nut.dat",
        "nut.dat.kesmir-tmp-" + own + "-0",  // this process is alive
        "nut.dat.kesmir-tmp-1-0",            // so is init
        "nut.dat.kesmir-tmp-" + dead + "-01",
        "nut.dat.kesmir-tmp-" + dead,
        "nut.dat.kesmir-tmp--" + dead + "-0",
        "nut.dat.tmp" + dead + "-0",
        "sample9GM.dat.kesmir-tmp-" + dead + "-0",  // a directory
    };
    for (const std::string& name : kept)
        writeFile(name, "x");
    fs::remove(kept.back());
    fs::create_directory(kept.back());
    writeFile("nut.dat.kesmir-tmp-" + dead + "-0", "stale");
    writeFile("spot.dat.kesmir-tmp-" + dead + "-12", "stale");

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(removeStaleTemporaryFiles(), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "kesmir: removed 2 temporary files left by a run that ended during a write: "
              "\"nut.dat.kesmir-tmp-" +
                  dead + "-0\", \"spot.dat.kesmir-tmp-" + dead + "-12\"\n");
    std::vector<std::string> sorted = kept;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(filesHere(), sorted);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(removeStaleTemporaryFiles(), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// A name of 240 bytes leaves no room for the temporary file's suffix, so the
// write fails with the target present or absent.
TEST(TemporaryFilesTest, AFailedWriteKeepsThePreviousFileOnlyWhenThereWasOne) {
    ScratchDirectory scratch;
    const std::string name(240, 'n');
    for (const bool present : {false, true}) {
        if (present) writeFile(name, "old");
        const WriteResult result = writeFileAtomically(name, "new");
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.previousKept, present);
        ::testing::internal::CaptureStderr();
        tellWriteFailure("nut.dat", result);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find("the previous file is kept") != std::string::npos, present) << said;
        EXPECT_NE(said.find("File name too long"), std::string::npos) << said;
        EXPECT_EQ(filesHere().size(), present ? 1u : 0u);
    }
}

}  // namespace
}  // namespace kesmir::testing
