// The simulation thread: seeds the world once, then runs cycles until a
// population collapses, the run's cycle limit is reached or the user asks to
// quit, and returns why. Ending the process is left to its caller.
#pragma once

#include <cstdint>

#include "sim/step_timings.h"

namespace kesmir {

struct RunSettings {
    int64_t cycleLimit = -1;  // stop with exit code 0 after this many cycles; -1: no limit
    bool printTimings = false;
    int threads = 0;              // threads the steps run on; 0: the machine's cores
    int64_t checkpointEvery = 0;  // write "checkpoint.kes" every N cycles; 0: never
    bool resumed = false;         // the world came from a checkpoint: no seeding
    // Every this many cycles (0: never), at the cycle boundary before the
    // steps run, savePicture(kk) writes a picture of the world.
    int32_t pictureEvery = 0;
    void (*savePicture)(int32_t cycle) = nullptr;
};

extern RunSettings runSettings;

// Why a run ended.
enum class RunEnd {
    populationCollapsed,  // a population fell to one organism or none
    cycleLimit,           // the cycle count reached runSettings.cycleLimit
    quitRequested,        // requestQuit(): Q, or the window closed
};

// Thread body: empties the population log, seeds the world (unless resumed)
// and runs cycles (runCycles) until the run ends.
RunEnd ecoNode();

// Cycles on a seeded world until the run ends. The cycle limit is tested
// before the first cycle and after each, the populations after each cycle
// only, a quit request before each cycle and again after its sleep and its
// pause.
RunEnd runCycles();

// The steps of one cycle in their fixed order, timed into stepTimings, all
// reading the parameters in force as the first begins (takeCycleParams); kk
// is not advanced here.
void runCycleSteps();
// The same with the parameters taken before, at the cycle's boundary.
void runSteps();

// One whole cycle: sleep `delay` (parking for a hold meanwhile), print the
// status line, append the log line, count the traits when due, wait while
// paused, park for a hold, take the parameters the cycle runs with, write a
// checkpoint (holding them) when one is due, store the gene
// sample every 1000th cycle, save the picture when one is due, run the steps
// and count the cycle. False when a quit request came in the sleep or the
// pause: the steps did not run and kk stays.
bool runCycle();

// True when a population has fallen to one or none.
bool populationCollapsed();
// True when the run has a cycle limit and kk has reached it.
bool cycleLimitReached();

}  // namespace kesmir
