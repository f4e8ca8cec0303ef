// The cycle's steps on several threads against the same steps on one: from
// the same state every step must leave the same bits, also when a parameter
// is changed while the steps run. Then the parts the
// steps are built from: the pool, the cell log, the counted sum and the
// cells that records may share.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "model_fixture.h"
#include "seed/seeding.h"
#include "sim/counted_sum.h"
#include "sim/cull.h"
#include "sim/cycle_gate.h"
#include "sim/die.h"
#include "sim/eat.h"
#include "sim/eco_node.h"
#include "sim/metabolism.h"
#include "sim/move.h"
#include "sim/parallel/ordered_log.h"
#include "sim/parallel/worker_pool.h"
#include "sim/replenish.h"
#include "sim/reproduce.h"
#include "world_fingerprint.h"

namespace kesmir::testing {
namespace {

const std::vector<std::pair<std::string, std::function<void()>>> kSteps = {
    {"moveHerbivores", moveHerbivores},
    {"moveCarnivores", moveCarnivores},
    {"metabolize+replenish", [] { replenish(metabolize()); }},
    {"eat", eat},
    {"reproduce", reproduce},
    {"die", die},
    {"cull", cull},
    {"addNew", addNew},
    {"bufferSwap", bufferSwap},
};

constexpr int32_t kLongestList = 250000;

// A fresh world seeded from `seed` with the given counts, its steps on
// `threads` threads. The buffers start empty, so that what lies behind the
// counts is the same in every run.
void seedWorld(int threads, int32_t plants, int32_t herbivores, int32_t carnivores, uint32_t seed) {
    resetModel();
    for (plant* list : {PL1, PL2, NP})
        std::fill(list, list + kLongestList, plant{});
    for (animal* list : {HL1, HL2, NH, CL1, CL2, NC})
        std::fill(list, list + kLongestList, animal{});
    setSimulationThreads(threads);
    Ppop = plants;
    Hpop = herbivores;
    Cpop = carnivores;
    seedRandom(seed);
    matureNutrients();
}

// A world large enough for several pieces of every list and many chunks of
// eaters, run for a few cycles on `threads` threads: the fingerprint after
// every step.
std::vector<uint64_t> fingerprintsOfARun(int threads) {
    ScratchDirectory scratch;
    seedWorld(threads, 100000, 70000, 35000, 20261209);
    std::vector<uint64_t> fingerprints;
    for (int cycle = 0; cycle < 3; ++cycle) {
        for (const auto& [name, step] : kSteps) {
            step();
            fingerprints.push_back(worldFingerprint(kLongestList));
        }
    }
    setSimulationThreads(1);
    return fingerprints;
}

TEST(ParallelSteps, EveryStepLeavesTheSameBitsOnThreeThreadsAsOnOne) {
    const std::vector<uint64_t> one = fingerprintsOfARun(1);
    // The steps that split by pieces of a list only do so once a cull has
    // found no two plants on one cell.
    EXPECT_FALSE(E.plant.recordsMayShareCells());
    const std::vector<uint64_t> three = fingerprintsOfARun(3);
    ASSERT_EQ(one.size(), three.size());
    for (std::size_t i = 0; i < one.size(); ++i)
        ASSERT_EQ(three[i], one[i])
            << "cycle " << i / kSteps.size() << ", after " << kSteps[i % kSteps.size()].first;
}

// Values for every parameter that change what the steps do in a seeded
// world (plants start with 80 energy, herbivores 120, carnivores 300): every
// kind hungry, none breeding, none past its first cycles.
ParameterSet otherParameters() {
    ParameterSet p;
    p.PRenergy = 90.0f;
    p.HRenergy = 150.0f;
    p.CRenergy = 350.0f;
    p.PNoffset = 0;
    p.HNoffset = 0;
    p.CNoffset = 0;
    p.PSoffset = 100.0f;
    p.HSoffset = 200.0f;
    p.CSoffset = 400.0f;
    p.PMoffset = 2.0f;
    p.HMoffset = 6.0f;
    p.CMoffset = 3.0f;
    p.HAoffset = 0;
    p.CAoffset = 1;
    return p;
}

enum class Change { none, betweenCycles, duringACycle };

// Three cycles of a small world on `threads` threads (in the first the
// seeded organisms grow old enough to breed), with otherParameters() set as
// `change` says: between the second and the third, or during the second,
// first once the herbivores have moved (the simulation held there), then by
// another thread again and again, flipping between those and a few other
// values, until the cycle's steps are done.
uint64_t fingerprintOfThreeCycles(int threads, Change change) {
    ScratchDirectory scratch;
    seedWorld(threads, 20000, 9200, 2000, 20261210);
    runCycleSteps();
    const ParameterSet other = otherParameters();
    ParameterSet alsoOther = other;
    alsoOther.PMoffset = 2.5f;
    alsoOther.HSoffset = 250.0f;
    alsoOther.CSoffset = 450.0f;
    if (change == Change::duringACycle) {
        cycleGate.setRunning(false);
        cycleGate.hold();  // the request stands until the simulation parks
        cycleGate.setRunning(true);
        std::atomic<bool> stepsDone{false};
        std::thread simulation([&] {
            runCycleSteps();
            stepsDone = true;
            cycleGate.setRunning(false);
        });
        cycleGate.hold();  // parked after moving the herbivores
        setParameters(other);
        std::thread writer([&] {
            for (bool flip = false; !stepsDone; flip = !flip)
                setParameters(flip ? alsoOther : other);
        });
        cycleGate.release();
        simulation.join();
        writer.join();
        setParameters(other);
    } else {
        runCycleSteps();
        if (change == Change::betweenCycles) setParameters(other);
    }
    runCycleSteps();
    const uint64_t fingerprint = worldFingerprint(kLongestList);
    setSimulationThreads(1);
    return fingerprint;
}

TEST(ParallelSteps, AParameterChangedDuringACycleCountsFromTheNextOnEveryThreadCount) {
    const uint64_t changedBetween = fingerprintOfThreeCycles(1, Change::betweenCycles);
    EXPECT_NE(changedBetween, fingerprintOfThreeCycles(1, Change::none));
    EXPECT_EQ(fingerprintOfThreeCycles(1, Change::duringACycle), changedBetween);
    EXPECT_EQ(fingerprintOfThreeCycles(3, Change::duringACycle), changedBetween);
}

TEST(ParallelSteps, EveryPieceOnceAndEveryThreadAtOnce) {
    setSimulationThreads(3);
    std::vector<std::atomic<int>> taken(1000);
    forEachPiece(1000, [&](int32_t piece) { taken[piece].fetch_add(1); });
    for (std::size_t piece = 0; piece < taken.size(); ++piece)
        EXPECT_EQ(taken[piece].load(), 1) << piece;
    // Every thread's task runs at the same time: each waits for all others.
    std::atomic<int> arrived{0};
    simulationPool().runOnAll([&](int) {
        arrived.fetch_add(1);
        while (arrived.load() < 3) {
        }
    });
    EXPECT_EQ(arrived.load(), 3);
    setSimulationThreads(1);
}

TEST(ParallelSteps, LoggedWorkIsDoneInTheOrderLogged) {
    // More entries than the log holds, on a few cells, each step on a cell
    // depending on the one before it.
    struct Entry {
        int32_t cell;
        uint32_t value;
    };
    constexpr int kCellsUsed = 7;
    constexpr int64_t kEntries = (int64_t{1} << 18) * 3 + 5;
    auto value = [](int64_t i) { return static_cast<uint32_t>(i * 2654435761u); };
    std::vector<uint64_t> expected(kCellsUsed, 1);
    for (int64_t i = 0; i < kEntries; ++i)
        expected[i % kCellsUsed] = expected[i % kCellsUsed] * 31 + value(i);

    setSimulationThreads(2);
    std::vector<uint64_t> applied(kCellsUsed, 1);
    OrderedLog<Entry>::runChain(
        [&](OrderedLog<Entry>& log) {
            for (int64_t i = 0; i < kEntries; ++i)
                log.push(Entry{static_cast<int32_t>(i % kCellsUsed), value(i)});
        },
        [&](const Entry& e) { applied[e.cell] = applied[e.cell] * 31 + e.value; },
        [](const Entry&) {});
    setSimulationThreads(1);
    EXPECT_EQ(applied, expected);
}

// The counted sum against additions one by one, in list order and reversed.
TEST(ParallelSteps, CountedSumGivesTheBitsOfOneByOne) {
    const float costs[] = {3.1f, 4.1f, 5.1f, 6.1f, 0.5f, 1.0f, 1e-9f, 2.75f};
    auto oneByOne = [&](float total, const std::vector<int>& order) {
        for (const int v : order)
            total += costs[v];
        return total;
    };
    int fast = 0;
    for (const float start : {0.0f, 1.0f, 3.0e6f, 8388608.0f, 8388609.0f, 16777000.0f, 9.9e6f}) {
        for (const uint32_t mask : {0x0Fu, 0x10u, 0x20u, 0x40u, 0x80u, 0xFFu}) {
            std::vector<int> order;
            uint32_t counts[8] = {};
            for (int i = 0; i < 4096; ++i) {
                const int v = (i * 7 + i / 3) % 8;
                if (!(mask >> v & 1)) continue;
                order.push_back(v);
                ++counts[v];
            }
            float total = start;
            if (!addCounted(total, costs, counts, 8)) continue;
            ++fast;
            EXPECT_EQ(total, oneByOne(start, order)) << start << " " << mask;
            std::vector<int> reversed(order.rbegin(), order.rend());
            EXPECT_EQ(total, oneByOne(start, reversed)) << start << " " << mask;
        }
    }
    EXPECT_GT(fast, 10);
    // Half a unit is rounded to the even neighbour, which depends on the
    // total: 2^23 + 0.5 stays 2^23, (2^23 + 1) + 0.5 becomes 2^23 + 2.
    const uint32_t oneHalf[8] = {0, 0, 0, 0, 1, 0, 0, 0};
    float even = 8388608.0f;
    EXPECT_FALSE(addCounted(even, costs, oneHalf, 8));
    EXPECT_EQ(even, 8388608.0f);
    const float negative[1] = {-1.0f};
    const uint32_t once[1] = {1};
    float total = 1e6f;
    EXPECT_FALSE(addCounted(total, negative, once, 1));
}

// The flags that let steps split a list: set by a move onto an occupied
// cell, by a birth on one, and by a record its cell no longer names.
TEST(ParallelSteps, RecordsThatShareACellAreNoticed) {
    resetModel();
    // Both herbivores move only south by one cell: the first finds the
    // second on its target ten times and takes it anyway.
    const uint32_t southOnly = 1u << 3;
    addHerbivore(10, 10, 50.0f, 0, 0, 0, southOnly);
    addHerbivore(10, 9, 50.0f, 0, 0, 0, southOnly);
    for (int x = 0; x < 61; ++x)
        for (int y = 0; y < 61; ++y)
            addPlant(1000 + x, 1000 + y, 40.0f, 0, 0, 3);
    // Once emptied, the layers are trusted only after a cycle's insertion
    // has found every record on a cell of its own.
    for (int cycle = 0; cycle < 2; ++cycle) {
        EXPECT_TRUE(E.plant.recordsMayShareCells());
        cull();
        addNew();
        bufferSwap();
    }
    EXPECT_FALSE(E.herbivore.recordsMayShareCells());
    EXPECT_FALSE(E.plant.recordsMayShareCells());

    moveHerbivores();
    EXPECT_TRUE(E.herbivore.recordsMayShareCells());
    // The second herbivore left the cell it shared and emptied its slot:
    // the first stands there unnamed, and the cull finds it so.
    cull();
    addNew();
    EXPECT_TRUE(E.herbivore.recordsMayShareCells());

    // Every candidate cell of the plant in the middle of the block is taken:
    // its newborn goes to the last one, on another plant.
    bufferSwap();
    reproduce();
    EXPECT_TRUE(E.plant.newbornsMayShareCells());
    cull();
    addNew();
    EXPECT_TRUE(E.plant.recordsMayShareCells());
}

}  // namespace
}  // namespace kesmir::testing
