// The simulation thread: seeds the world once, then runs cycles until a
// population collapses (or the run's cycle limit is reached) and ends the
// process.
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
extern StepTimings stepTimings;

// Thread body; never returns.
[[noreturn]] void ecoNode();

// The steps of one cycle in their fixed order, timed into stepTimings, all
// reading the parameters in force as the first begins (takeCycleParams); kk
// is not advanced here.
void runCycleSteps();

// One whole cycle: sleep `delay` (parking for a hold meanwhile), print the
// status line, append the log line, wait while paused, park for a hold, write
// a checkpoint when one is due, store the gene sample every 1000th cycle,
// save the picture when one is due, run the steps and count the cycle.
void runCycle();

// True when a population has fallen to one or none.
bool populationCollapsed();

// Ends the process: waits for the file writes in progress to finish (and
// lets no new one begin), flushes the console, prints the step timings if
// asked for, and exits with `code` without running any clean-up that could
// race with the other threads.
[[noreturn]] void endProcess(int code);

}  // namespace kesmir
