// Checkpoints: exact round trips, a resumed run that repeats the
// uninterrupted one, refusal of damaged files, and when the cycle writes them.
#include <gtest/gtest.h>
#include <zstd.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "checkpoint_fixture.h"
#include "files/checkpoint_file.h"
#include "files/checksum64.h"
#include "model_fixture.h"
#include "seed/seeding.h"
#include "sim/checkpoints.h"
#include "sim/eco_node.h"
#include "sim/parallel/worker_pool.h"
#include "sim/report_lines.h"
#include "sim/run_control.h"
#include "world/named_params.h"

namespace kesmir::testing {
namespace {

// A checksum of each part of the state a run carries from one cycle to the next.
struct Fingerprint {
    uint64_t counters, plants, herbivores, carnivores, slots, nutrient;
    bool operator==(const Fingerprint&) const = default;
};

template <class T>
void add(Checksum64& sum, T value) {
    sum.add(&value, sizeof value);
}

template <class Record>
uint64_t listSum(const Record* list, int32_t count) {
    Checksum64 sum;
    for (int32_t i = 0; i < count; ++i) {
        const Record& r = list[i];
        add(sum, r.x), add(sum, r.y), add(sum, r.energy), add(sum, r.alive), add(sum, r.age);
        add(sum, r.chrom1), add(sum, r.chrom2), add(sum, r.GM);
        if constexpr (std::is_same_v<Record, animal>) add(sum, r.chrom3), add(sum, r.chrom4);
    }
    return sum.value();
}

Fingerprint fingerprint() {
    Checksum64 counters;
    add(counters, int32_t(kk)), add(counters, randState), add(counters, even);
    add(counters, PL == (even ? PL1 : PL2));
    for (int32_t count :
         {int32_t(Ppop), int32_t(Hpop), int32_t(Cpop), newPpop, newHpop, newCpop, Peat, Heat, Ceat})
        add(counters, count);
    for (float extreme : {pmin, pmax, hmin, hmax, cmin, cmax, emax})
        add(counters, extreme);
    for (const NamedParameter& parameter : namedParameters())
        add(counters, parameterValue(parameter));
    Checksum64 slots, nutrient;
    for (int32_t cell = 0; cell < kCells; ++cell) {
        add(slots, E.plant[cell]), add(slots, E.herbivore[cell]), add(slots, E.carnivore[cell]);
        add(slots, E.plant.occupied(cell) + 2 * E.herbivore.occupied(cell) +
                       4 * E.carnivore.occupied(cell));
    }
    nutrient.add(E.nutrient, sizeof(float) * kCells);
    return {counters.value(),
            listSum(PL.operator plant*(), Ppop),
            listSum(HL.operator animal*(), Hpop),
            listSum(CL.operator animal*(), Cpop),
            slots.value(),
            nutrient.value()};
}

struct Activity {
    int32_t born = 0, eaten = 0;
};

// Runs cycles as the simulation thread does, less sleeping and files; returns
// each cycle's status and log line.
std::vector<std::string> runCycles(int cycles, Activity* activity = nullptr) {
    std::vector<std::string> lines;
    for (int c = 0; c < cycles; ++c) {
        lines.push_back(statusLine() + populationLogLine());
        runCycleSteps();
        kk += 1;
        if (activity != nullptr) {
            activity->born += newPpop + newHpop + newCpop;
            activity->eaten += Peat + Heat;
        }
    }
    return lines;
}

// The checksum must be xxHash64, whatever pieces the data comes in: zstd
// stores the low 32 bits of the same function at the end of its frames.
TEST_F(CheckpointTest, ChecksumIsZstdsOwnInAnyPieces) {
    std::mt19937 random(7);
    for (std::size_t size : {0, 1, 5, 31, 32, 33, 100, 4099}) {
        std::string data(size, '\0');
        for (char& c : data)
            c = static_cast<char>(random());
        ZSTD_CCtx* context = ZSTD_createCCtx();
        ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1);
        std::string frame(ZSTD_compressBound(size), '\0');
        const std::size_t n =
            ZSTD_compress2(context, frame.data(), frame.size(), data.data(), size);
        ZSTD_freeCCtx(context);
        ASSERT_FALSE(ZSTD_isError(n));
        uint32_t stored;
        std::memcpy(&stored, frame.data() + n - 4, 4);

        Checksum64 whole, pieces;
        whole.add(data.data(), size);
        for (std::size_t at = 0, step = 1; at < size; at += step, step = step * 3 % 37 + 1)
            pieces.add(data.data() + at, std::min(step, size - at));
        EXPECT_EQ(static_cast<uint32_t>(whole.value()), stored) << size << " bytes";
        EXPECT_EQ(pieces.value(), whole.value()) << size << " bytes";
    }
}

TEST_F(CheckpointTest, SmallWorldComesBackExactly) {
    makeSmallWorld();
    const Fingerprint saved = fingerprint();
    ASSERT_TRUE(writeCheckpoint("small.kes").ok);

    // Something else entirely in between, on the other buffers.
    resetModel();
    addPlant(10, 20, 1.0f);
    addHerbivore(8, 8, 1.0f);
    setNutrient(0, 1.0f);
    std::string error;
    ASSERT_TRUE(readCheckpoint("small.kes", error)) << error;
    EXPECT_EQ(fingerprint(), saved);
    EXPECT_FALSE(E.plant.occupied(cellIndex(10, 20)));  // the emptied slot stays empty
    EXPECT_FALSE(E.herbivore.occupied(cellIndex(8, 8)));
    EXPECT_EQ(float(HRenergy), 70.1f);
}

TEST_F(CheckpointTest, ResumedRunRepeatsTheUninterruptedOne) {
    // Saved from two threads, run on from one, resumed on three: nothing in a
    // checkpoint or in the cycles depends on the number of threads.
    Ppop = 500000, Hpop = 230000, Cpop = 50000;
    matureNutrients();
    setSimulationThreads(2);
    runCycles(2);
    ASSERT_TRUE(writeCheckpoint(kCheckpointFile).ok);
    const Fingerprint atSave = fingerprint();
    Activity activity;
    setSimulationThreads(1);
    const std::vector<std::string> straight = runCycles(2, &activity);
    const Fingerprint atEnd = fingerprint();
    EXPECT_GT(activity.born, 0);
    EXPECT_GT(activity.eaten, 0);

    // Resumed into the world that went on: every part of it must be replaced.
    std::string error;
    ASSERT_TRUE(readCheckpoint(kCheckpointFile, error)) << error;
    EXPECT_EQ(fingerprint(), atSave);
    setSimulationThreads(3);
    EXPECT_EQ(runCycles(2), straight);
    setSimulationThreads(1);
    EXPECT_EQ(fingerprint(), atEnd);
}

TEST_F(CheckpointTest, DamagedOrForeignFilesAreRefusedInOneLine) {
    makeSmallWorld();
    ASSERT_TRUE(writeCheckpoint("good.kes").ok);
    const std::string good = readFile("good.kes");
    ASSERT_GT(good.size(), 100u);

    for (std::size_t length : {std::size_t{0}, std::size_t{5}, std::size_t{8}, std::size_t{30},
                               good.size() / 2, good.size() - 9, good.size() - 1})
        expectRefused(good.substr(0, length), "cut short", "cut at " + std::to_string(length));
    for (std::size_t at : {std::size_t{30}, good.size() / 2, good.size() - 20, good.size() - 3}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
        expectRefused(flipped, "damaged", "byte " + std::to_string(at) + " flipped");
    }
    expectRefused("250.000000 250.000000 250.000000 250.000000", "not a checkpoint", "nut.dat");
    std::string future = good;
    future[8] = 3;
    expectRefused(future, "newer version of The Kesmir (format 3; this one reads format 2)",
                  "format 3");
    std::string smaller = good;
    smaller[12] = 100;
    expectRefused(smaller, "world", "another world size");

    // Sound frames around contents that are not a world.
    std::string extra(ZSTD_compressBound(1), '\0');
    extra.resize(ZSTD_compress(extra.data(), extra.size(), "x", 1, 1));
    expectRefused(refitted(good.substr(0, good.size() - 16) + extra + std::string(16, '\0')),
                  "more than a world", "a second frame");
    PL[0].x = kWorldSide;
    ASSERT_TRUE(writeCheckpoint("bad-position.kes").ok);
    expectRefused(readFile("bad-position.kes"), "plant stands outside the world", "position");
    PL[0].x = 10;
    for (Slot slot : {slotOf(2, 0), Slot{5u << 24}}) {  // two herbivores: indexes 0 and 1
        E.herbivore.set(cellIndex(7, 7), slot);
        ASSERT_TRUE(writeCheckpoint("bad-slot.kes").ok);
        expectRefused(readFile("bad-slot.kes"), "slot is out of range", "slot");
    }
    E.herbivore.set(cellIndex(7, 7), slotOf(1, 0));
    Cpop = 1;
    ASSERT_TRUE(writeCheckpoint("ended.kes").ok);
    expectRefused(readFile("ended.kes"), "died out", "one carnivore");

    std::string error;
    EXPECT_FALSE(readCheckpoint("missing.kes", error));
    EXPECT_NE(error.find("missing.kes"), std::string::npos);
}

TEST_F(CheckpointTest, WrittenEveryNthCycleAndOnceWhenAsked) {
    makeSmallWorld();
    runSettings.checkpointEvery = 500;
    kk = 1499;
    storeCheckpointIfDue();
    EXPECT_FALSE(std::filesystem::exists(kCheckpointFile));
    kk = 1500;
    storeCheckpointIfDue();
    EXPECT_TRUE(std::filesystem::remove(kCheckpointFile));

    runSettings.checkpointEvery = 0;
    checkpointRequested = true;
    storeCheckpointIfDue();
    EXPECT_TRUE(std::filesystem::remove(kCheckpointFile));
    storeCheckpointIfDue();  // asked once, written once
    EXPECT_FALSE(std::filesystem::exists(kCheckpointFile));

    // At cycle 1000 the gene sample's draws come after the checkpoint: a
    // resumed run takes them again.
    runSettings.checkpointEvery = 1000;
    kk = 1000;
    delay = 0;
    startRunControl();
    const uint32_t before = randState;
    runCycle();
    runSettings.checkpointEvery = 0;
    std::string error;
    ASSERT_TRUE(readCheckpoint(kCheckpointFile, error)) << error;
    EXPECT_EQ(randState, before);
    EXPECT_EQ(kk, 1000);
}

}  // namespace
}  // namespace kesmir::testing
