// A run with its window: the simulation's own end closes the window and
// tears Qt down; Q ends the run at once, without waiting for the simulation
// to wake from its delay, and leaves Qt standing for the process's end. Each
// case makes the application runWindowed makes, so Q, which leaves it, comes
// last; the process then ends as the program does, without destructors.
// The simulation's carnivores come from each case: none collapses the run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "display/window_app.h"
#include "display/world_window.h"
#include "model/model_fixture.h"
#include "sim/eco_node.h"
#include "sim/run_control.h"

namespace kesmir {
namespace {

// What each application does once its event loop runs.
std::function<void()> onceRunning;

void scheduleOnceRunning() {
    if (onceRunning) QTimer::singleShot(0, onceRunning);
}
Q_COREAPP_STARTUP_FUNCTION(scheduleOnceRunning)

class WindowRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::resetModel();
        runSettings = RunSettings{};
        runSettings.resumed = true;  // the small world below, not a seeded one
        runSettings.threads = 1;
        delay = 0;
        for (int32_t i = 0; i < 3; ++i) {
            testing::addPlant(100 + 100 * i, 100, 1000.0f);
            testing::addHerbivore(100 + 100 * i, 1000, 1000.0f);
        }
        onceRunning = nullptr;
    }

    static RunEnd runWindowedHere() {
        char name[] = "kesmir";
        char* argv[] = {name, nullptr};
        return runWindowed(1, argv);
    }

    testing::ScratchDirectory scratch_;
};

TEST_F(WindowRunTest, StopRuleClosesTheWindow) {
    // No carnivores: the first cycle ends the run.
    EXPECT_EQ(runWindowedHere(), RunEnd::populationCollapsed);
    EXPECT_EQ(kk, 1);
    EXPECT_EQ(QApplication::instance(), nullptr);
}

// Closing the main window ends the run although the chart is still open
// (run in a child process, since the run leaves Qt standing).
TEST_F(WindowRunTest, ClosingTheMainWindowEndsTheRunWithTheChartOpen) {
    testing::addCarnivore(100, 2000, 1000.0f);
    testing::addCarnivore(200, 2000, 1000.0f);
    delay = 60'000;
    onceRunning = [] {
        QTimer::singleShot(20'000, [] { std::_Exit(2); });  // still running
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<WorldWindow*>(widget)) {
                QTest::keyClick(window, Qt::Key_G);
                window->close();
            }
        }
    };
    EXPECT_EXIT(std::_Exit(runWindowedHere() == RunEnd::quitRequested ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(WindowRunTest, QEndsTheRunAtOnce) {
    testing::addCarnivore(100, 2000, 1000.0f);
    testing::addCarnivore(200, 2000, 1000.0f);
    delay = 60'000;  // the simulation sleeps a minute before its first cycle
    onceRunning = [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<WorldWindow*>(widget))
                QTest::keyClick(window, Qt::Key_Q);
    };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runWindowedHere(), RunEnd::quitRequested);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_TRUE(quitRequested());
    EXPECT_EQ(kk, 0);
    EXPECT_NE(QApplication::instance(), nullptr);
}

}  // namespace
}  // namespace kesmir

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    std::fflush(nullptr);
    std::_Exit(failed);
}
