// The simulation running while frames are drawn and samples are taken, as in
// the program: run under ThreadSanitizer, this must report no data race.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "display/render/palette.h"
#include "display/render/view_render.h"
#include "files/nutrient_file.h"
#include "model/model_fixture.h"
#include "reports/model/spot_sample.h"
#include "seed/seeding.h"
#include "sim/cycle_gate.h"
#include "sim/eco_node.h"
#include "sim/parallel/worker_pool.h"
#include "sim/run_control.h"
#include "stats/population_history.h"
#include "stats/trait_history.h"

namespace kesmir::testing {
namespace {

constexpr int kCycles = 4;
constexpr int kMaxCycles = 400;

// The steps on one thread, and on three (more threads than this machine's
// cores, so that the workers are interrupted anywhere).
class ConcurrencyTest : public ::testing::TestWithParam<int> {};

TEST_P(ConcurrencyTest, SimulationRunsWhileFramesAreDrawnAndSamplesTaken) {
    ScratchDirectory scratch;
    resetModel();
    populationHistory.clear();
    traitHistory.clear();
    setSimulationThreads(GetParam());
    // A sparse world keeps the run short under the sanitizer.
    Ppop = 20000;
    Hpop = 9200;
    Cpop = 2000;
    delay = 0;
    initPalette();

    std::atomic<bool> simulationDone{false};
    std::atomic<int> frames{0};
    std::atomic<int> samples{0};
    // Running from before the thread starts: a sample asked for while the
    // world is being seeded waits for the first cycle boundary.
    cycleGate.setRunning(true);
    std::thread simulation([&] {
        startRunControl();
        matureNutrients();
        // At least kCycles cycles, and on until frames and samples have been
        // taken while it ran.
        for (int i = 0; i < kMaxCycles && !populationCollapsed(); ++i) {
            if (i >= kCycles && frames >= 2 && samples >= 3) break;
            runCycle();
        }
        cycleGate.setRunning(false);
        simulationDone = true;
    });

    std::vector<uint32_t> frame(static_cast<std::size_t>(kCells));
    // Whole frames, and the views the window asks for, fitted and 1:1.
    std::thread display([&] {
        while (!simulationDone || frames == 0) {
            drawFrame(frame.data(), kWorldSide);
            drawView(liveWorldLayers(), Zoom{999, 3500}, {0, 0, 999, 999}, frame.data(), 1000);
            drawView(liveWorldLayers(), kOnePixelPerCell, {0, 0, 1200, 1000}, frame.data(), 1200);
            ++frames;
        }
    });

    // The window thread: takes spot samples of a patch of cells, each copied
    // while the simulation is held at a cycle boundary.
    int sampled = 0;
    while (!simulationDone) {
        UL = vt{400, 400};  // clicked in reverse order
        LR = vt{100, 100};
        takeSpotSample(0, 0);
        ++samples;
        // Between cycles every record a cell names stands on that cell and is alive.
        const auto expectWholeAndInside = [](const auto* sample, int32_t count) {
            for (int32_t i = 0; i < count; ++i) {
                EXPECT_TRUE(sample[i].x >= 100 && sample[i].x < 400 && sample[i].y >= 100 &&
                            sample[i].y < 400);
                EXPECT_EQ(sample[i].alive, 1);
            }
        };
        expectWholeAndInside(SP, Psamp);
        expectWholeAndInside(SH, Hsamp);
        expectWholeAndInside(SC, Csamp);
        sampled += Psamp + Hsamp + Csamp;
        // The chart reads the history as it grows.
        const std::size_t cycles = populationHistory.size();
        if (cycles > 0) {
            EXPECT_EQ(populationHistory[cycles - 1].cycle, int32_t(cycles - 1));
        }
        // So does the Evolution window the trait history: a copy of a field's
        // columns is never caught half added.
        const std::size_t traitSamples = traitHistory.samples.size();
        if (traitSamples > 0) {
            EXPECT_EQ(traitHistory.samples[traitSamples - 1].cycle, int32_t(traitSamples - 1));
        }
        const FieldDistribution poison =
            traitHistory.distributions.field(traitFieldIndex(Kind::plant, "poison"));
        for (std::size_t c = 0; c < poison.columns.size(); ++c) {
            uint64_t held = 0;
            for (int v = 0; v < poison.values; ++v)
                held += poison.count(c, v);
            EXPECT_EQ(held, poison.columns[c].organisms[0]);
        }
        EXPECT_LE(int(kk), kMaxCycles);
    }
    logNutrients();  // reads the live layer while nothing else runs any more

    simulation.join();
    display.join();
    EXPECT_GT(frames, 0);
    EXPECT_GT(samples, 0);
    EXPECT_GT(sampled, 0);
    // The last frame shows the final state: every carnivore's pixel is red.
    drawFrame(frame.data(), kWorldSide);
    const animal* carnivores = CL;
    for (int32_t k = 0; k < Cpop; k += 97)
        EXPECT_EQ(frame[cellIndex(carnivores[k].x, carnivores[k].y)], pixelOf(kCarnivoreColour));
    setSimulationThreads(1);
}

INSTANTIATE_TEST_SUITE_P(Threads, ConcurrencyTest, ::testing::Values(1, 3));

}  // namespace
}  // namespace kesmir::testing
