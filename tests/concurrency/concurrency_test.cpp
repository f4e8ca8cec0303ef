// The simulation running while frames are drawn and samples are taken, as in
// the program: run under ThreadSanitizer, this must report no data race.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "display/render/frame.h"
#include "display/render/palette.h"
#include "model/model_fixture.h"
#include "seed/nutrient_file.h"
#include "seed/seeding.h"
#include "sim/cycle_gate.h"
#include "sim/eco_node.h"

namespace kesmir::testing {
namespace {

constexpr int kCycles = 4;

TEST(ConcurrencyTest, SimulationRunsWhileFramesAreDrawnAndSamplesTaken) {
    ScratchDirectory scratch;
    resetModel();
    // A sparse world keeps the run short under the sanitizer.
    Ppop = 20000;
    Hpop = 9200;
    Cpop = 2000;
    delay = 0;
    initPalette();

    std::atomic<bool> simulationDone{false};
    std::thread simulation([&] {
        pause.store(false, std::memory_order_release);
        cycleGate.setRunning(true);
        matureNutrients();
        for (int i = 0; i < kCycles && !populationCollapsed(); ++i)
            runCycle();
        cycleGate.setRunning(false);
        simulationDone = true;
    });

    std::vector<uint32_t> frame(static_cast<std::size_t>(kCells));
    int frames = 0;
    std::thread display([&] {
        while (!simulationDone || frames == 0) {
            drawFrame(frame.data(), kWorldSide);
            ++frames;
        }
    });

    // The window thread: holds the simulation at a cycle boundary and copies
    // what stands on a patch of cells, as a spot sample does.
    int sampled = 0;
    int holds = 0;
    while (!simulationDone) {
        CycleHold hold;
        ++holds;
        const plant* plants = PL;
        for (int32_t y = 100; y < 400; ++y) {
            for (int32_t x = 100; x < 400; ++x) {
                const Slot slot = E.plant[cellIndex(x, y)];
                if (slot == kEmpty) continue;
                const plant copy = plants[indexOf(slot)];
                EXPECT_EQ(copy.x, x);
                EXPECT_EQ(copy.y, y);
                ++sampled;
            }
        }
        EXPECT_LE(int(kk), kCycles);
    }
    logNutrients();  // reads the live layer while nothing else runs any more

    simulation.join();
    display.join();
    EXPECT_GT(frames, 0);
    EXPECT_GT(holds, 0);
    EXPECT_GT(sampled, 0);
    // The last frame shows the final state: every carnivore's pixel is red.
    drawFrame(frame.data(), kWorldSide);
    const animal* carnivores = CL;
    for (int32_t k = 0; k < Cpop; k += 97)
        EXPECT_EQ(frame[cellIndex(carnivores[k].x, carnivores[k].y)], pixelOf(kCarnivoreColour));
}

}  // namespace
}  // namespace kesmir::testing
