#include "sim/eco_node.h"

#include <chrono>
#include <cstdio>

#include "seed/gene_sample_file.h"
#include "seed/seeding.h"
#include "sim/checkpoints.h"
#include "sim/cull.h"
#include "sim/cycle_gate.h"
#include "sim/cycle_params.h"
#include "sim/die.h"
#include "sim/eat.h"
#include "sim/metabolism.h"
#include "sim/move.h"
#include "sim/parallel/worker_pool.h"
#include "sim/population_log.h"
#include "sim/replenish.h"
#include "sim/report_lines.h"
#include "sim/reproduce.h"
#include "sim/run_control.h"
#include "sim/trait_sampling.h"
#include "sim/world_version.h"
#include "stats/population_history.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/params.h"

namespace kesmir {

RunSettings runSettings;

void runCycleSteps() {
    takeCycleParams();
    runSteps();
}

void runSteps() {
    // A hold (a spot sample) may park the simulation after each of the first
    // four steps, while every cell slot still names a record of the current
    // lists. From reproduction to the buffer swap newborn slots name the
    // newborn lists and culled ones the other lists, so no hold is served
    // until the next cycle boundary.
    {
        StepTimer t(stepTimings, Step::moveHerbivores);
        moveHerbivores();
        noteWorldChanged();
    }
    cycleGate.checkpoint();
    {
        StepTimer t(stepTimings, Step::moveCarnivores);
        moveCarnivores();
        noteWorldChanged();
    }
    cycleGate.checkpoint();
    {
        StepTimer t(stepTimings, Step::metabolize);
        replenish(metabolize());
        noteWorldChanged();
    }
    cycleGate.checkpoint();
    {
        StepTimer t(stepTimings, Step::eat);
        eat();
        noteWorldChanged();
    }
    cycleGate.checkpoint();
    {
        StepTimer t(stepTimings, Step::reproduce);
        reproduce();
        noteWorldChanged();
    }
    {
        StepTimer t(stepTimings, Step::die);
        die();
        noteWorldChanged();
    }
    {
        StepTimer t(stepTimings, Step::cull);
        cull();
        addNew();
        bufferSwap();
        noteWorldChanged();
    }
    stepTimings.countCycle();
}

bool populationCollapsed() {
    return Ppop <= 1 || Hpop <= 1 || Cpop <= 1;
}

bool cycleLimitReached() {
    return runSettings.cycleLimit >= 0 && kk >= runSettings.cycleLimit;
}

namespace {

void report() {
    const std::string line = statusLine() + stamp();
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
    StepTimer t(stepTimings, Step::files);
    appendPopulationLog(populationLogLine());
    populationHistory.append({kk, Ppop, Hpop, Cpop});
}

}  // namespace

bool runCycle() {
    cycleGate.sleepFor(std::chrono::milliseconds(int(delay)));
    if (quitRequested()) return false;
    report();
    sampleTraits();
    waitWhilePaused();
    if (quitRequested()) return false;
    cycleGate.checkpoint();
    // From here on the cycle reads these values, and a checkpoint keeps them.
    takeCycleParams();
    storeCheckpointIfDue();
    if (kk > 0 && kk % 1000 == 0) {
        StepTimer t(stepTimings, Step::files);
        storeGMSamples();
    }
    if (runSettings.pictureEvery > 0 && kk % runSettings.pictureEvery == 0 &&
        runSettings.savePicture) {
        StepTimer t(stepTimings, Step::files);
        runSettings.savePicture(kk);
    }
    runSteps();
    kk += 1;
    return true;
}

RunEnd runCycles() {
    for (;;) {
        if (cycleLimitReached()) return RunEnd::cycleLimit;
        if (quitRequested() || !runCycle()) return RunEnd::quitRequested;
        if (populationCollapsed()) return RunEnd::populationCollapsed;
    }
}

RunEnd ecoNode() {
    startPopulationLog();
    startTraitFiles();
    startRunControl();
    cycleGate.setRunning(true);
    setSimulationThreads(runSettings.threads);
    if (!runSettings.resumed) matureNutrients();
    noteWorldChanged();
    const RunEnd end = runCycles();
    // A hold asked for from now on returns at once.
    cycleGate.setRunning(false);
    return end;
}

}  // namespace kesmir
