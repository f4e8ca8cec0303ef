#include "sim/eco_node.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "files/writes_in_progress.h"
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
#include "sim/population_history.h"
#include "sim/population_log.h"
#include "sim/replenish.h"
#include "sim/report_lines.h"
#include "sim/reproduce.h"
#include "sim/run_control.h"
#include "sim/world_version.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/params.h"

namespace kesmir {

RunSettings runSettings;
StepTimings stepTimings;

void runCycleSteps() {
    takeCycleParams();
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

void endProcess(int code) {
    finishWritesInProgress();  // a file being written is finished whole first
    std::fflush(stdout);
    if (runSettings.printTimings) std::fputs(stepTimings.report().c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(code);
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

void runCycle() {
    cycleGate.sleepFor(std::chrono::milliseconds(int(delay)));
    report();
    waitWhilePaused();
    cycleGate.checkpoint();
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
    runCycleSteps();
    kk += 1;
}

void ecoNode() {
    startPopulationLog();
    startRunControl();
    cycleGate.setRunning(true);
    setSimulationThreads(runSettings.threads);
    if (!runSettings.resumed) matureNutrients();
    noteWorldChanged();
    if (runSettings.cycleLimit >= 0 && kk >= runSettings.cycleLimit) endProcess(0);
    for (;;) {
        runCycle();
        if (populationCollapsed()) endProcess(0);
        if (runSettings.cycleLimit >= 0 && kk >= runSettings.cycleLimit) endProcess(0);
    }
}

}  // namespace kesmir
