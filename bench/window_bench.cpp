// The cost of the window to the simulation: the median cycle over a window
// of cycles of seed 1, with the cycles dealt in turn to four conditions in
// the same run, so that all four see the same world and the same load on
// the machine:
//   headless  the display thread stopped, nothing drawn or painted
//   window    the window as it opens: one pixel per cell, frames drawn and
//             painted as the world changes
//   fitted    the whole world fitted into the window, the chart open
//   evolution the whole world fitted into the window, the Evolution window
//             open (the traits counted every cycle, as by default)
// At each change of condition two frames are awaited before the cycle is
// timed, so the one-off full redraw of both images after a zoom change is
// not counted.
// Then the time to take and save the world's picture. It judges nothing.
//
// Runs on whatever Qt platform the environment gives: under a real X
// server (DISPLAY set) the paints reach the server as they would for a user.
//
//   window_bench [first measured cycle=100] [cycles per condition=10]
//                [threads=0: the machine's cores, as the program runs by default]
#include <time.h>
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "display/display_thread.h"
#include "display/evolution_window.h"
#include "display/frame_buffers.h"
#include "display/overlay_painter.h"
#include "display/pictures.h"
#include "display/population_chart.h"
#include "display/world_window.h"
#include "seed/seeding.h"
#include "sim/eco_node.h"
#include "sim/parallel/worker_pool.h"
#include "sim/run_control.h"
#include "stats/population_history.h"
#include "stats/trait_history.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

using namespace kesmir;
using kesmir::bench::cpuMs;
using kesmir::bench::median;
using Clock = std::chrono::steady_clock;

namespace {

enum Condition { headless, window, fitted, evolution, conditions };
constexpr std::array<const char*, conditions> kNames{"headless", "window (1:1)", "fitted + chart",
                                                     "fitted + Evolution"};

}  // namespace

int main(int argc, char** argv) {
    const int first = argc > 1 ? std::max(0, std::atoi(argv[1])) : 100;
    const int perCondition = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    const int threads = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    std::optional<bench::ScratchDirectory> scratch("window-bench");

    allocateWorld();
    initDir();
    seedRandom(1);
    delay = 0;
    setSimulationThreads(threads);

    QApplication app(argc, argv);
    FrameBuffers buffers;
    WorldWindow view(buffers);
    PopulationChart chart(populationHistory);
    EvolutionWindow evolutionWindow(traitHistory);
    view.applyInitialGeometry();
    view.show();
    view.applyInitialGeometry();
    DisplayThread display(buffers, overlayFont(view.logicalDpiY()),
                          [&view] { view.requestRepaint(); });
    view.viewChangedHook = [&display](const WorldView& v) { display.showView(v); };
    display.showView(view.view());
    display.start();

    std::array<std::vector<double>, conditions> cycleMs;
    // CPU time the rest of the process (display and window threads) spent
    // during each cycle: a figure a busy machine disturbs less than the
    // wall clock. The X server's own work is not in it.
    std::array<std::vector<double>, conditions> otherCpuMs;
    std::array<int64_t, conditions> frames{};
    double pictureMs = 0;
    std::thread simulation([&] {
        kesmir::startRunControl();
        matureNutrients();
        Condition current = window;
        const auto apply = [&](Condition next) {
            int64_t before = 0;
            QMetaObject::invokeMethod(
                &view,
                [&] {
                    if (next == headless) display.stop();
                    chart.setVisible(next == fitted);
                    evolutionWindow.setVisible(next == evolution);
                    if (next == fitted || next == evolution) {
                        view.fitWorld();
                    } else if (view.fitted()) {
                        view.oneToOne();
                    }
                    before = display.frames();
                    if (next != headless) display.start();
                },
                Qt::BlockingQueuedConnection);
            // Both images redrawn at the condition's zoom (a view change asks
            // for the second frame).
            const auto until = Clock::now() + std::chrono::seconds(5);
            for (int64_t frame = 1; next != headless && frame <= 2; ++frame) {
                if (frame == 2) display.showView(view.view());
                while (display.frames() < before + frame && Clock::now() < until)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            current = next;
        };
        const int last = first + conditions * perCondition;
        while (int(kk) < last && !populationCollapsed()) {
            const int cycle = kk;
            if (cycle >= first) apply(Condition((cycle - first) % conditions));
            const int64_t framesBefore = display.frames();
            const double processBefore = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
            const double threadBefore = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            const auto start = Clock::now();
            runCycle();
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            const double others = (cpuMs(CLOCK_PROCESS_CPUTIME_ID) - processBefore) -
                                  (cpuMs(CLOCK_THREAD_CPUTIME_ID) - threadBefore);
            if (cycle >= first) {
                cycleMs[current].push_back(ms);
                otherCpuMs[current].push_back(others);
                frames[current] += display.frames() - framesBefore;
            }
        }
        apply(headless);
        std::vector<double> pictures;
        for (int i = 0; i < 3; ++i) {
            const auto start = Clock::now();
            savePng(worldPicture(), worldPictureName(kk));
            pictures.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        pictureMs = median(pictures);
        QMetaObject::invokeMethod(&app, &QApplication::quit, Qt::QueuedConnection);
    });
    QApplication::exec();
    simulation.join();
    display.stop();
    scratch.reset();

    std::printf(
        "window_bench: seed 1, cycles %d..%d dealt in turn to %d conditions, %d simulation "
        "threads, platform %s\n",
        first, first + conditions * perCondition - 1, int(conditions), simulationThreads(),
        qPrintable(QGuiApplication::platformName()));
    for (int c = 0; c < conditions; ++c)
        std::printf(
            "  %-18s median cycle %8.1f ms over %zu cycles, %.1f frames and %.1f ms of other "
            "threads' CPU a cycle\n",
            kNames[c], median(cycleMs[c]), cycleMs[c].size(),
            cycleMs[c].empty() ? 0.0 : double(frames[c]) / double(cycleMs[c].size()),
            median(otherCpuMs[c]));
    const double base = median(cycleMs[headless]);
    const double windowed = median(cycleMs[window]);
    if (base > 0 && windowed > 0)
        std::printf(
            "  window / headless: %.3f; fitted + chart / window: %.3f; fitted + Evolution / "
            "window: %.3f\n",
            windowed / base, median(cycleMs[fitted]) / windowed,
            median(cycleMs[evolution]) / windowed);
    std::printf("  world picture (draw, encode, write): median %.0f ms of 3\n", pictureMs);
    return 0;
}
