// The simulation against a second, independently written, plain
// implementation of the same model: every status and log number of every
// cycle, and a fingerprint of the whole final state, must agree bit for bit.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <tuple>

#include "model/model_fixture.h"
#include "oracle/fnv_hash.h"
#include "oracle/reference/reference_model.h"
#include "seed/seeding.h"
#include "sim/eco_node.h"
#include "sim/parallel/worker_pool.h"
#include "world/format.h"

namespace kesmir::testing {
namespace {

void hashCommon(Fnv& h, int32_t x, int32_t y, float energy, uint8_t alive, int32_t age) {
    h.word(static_cast<uint32_t>(x));
    h.word(static_cast<uint32_t>(y));
    h.real(energy);
    h.word(alive);
    h.word(static_cast<uint32_t>(age));
}

reference::CycleReport reportNow() {
    return reference::CycleReport{kk, Ppop, Hpop, Cpop, Peat, Heat, Ceat, pmax, hmax, cmax, emax};
}

reference::Summary summaryNow() {
    reference::Summary s{};
    s.kk = kk;
    s.Ppop = Ppop;
    s.Hpop = Hpop;
    s.Cpop = Cpop;
    Fnv plants, herbivores, carnivores, grid;
    const plant* pl = PL;
    for (int32_t i = 0; i < Ppop; ++i) {
        const plant& p = pl[i];
        s.plantEnergy += static_cast<double>(p.energy);
        hashCommon(plants, p.x, p.y, p.energy, p.alive, p.age);
        plants.word(p.chrom1);
        plants.word(p.chrom2);
        plants.word(p.GM);
    }
    auto hashAnimals = [](const animal* list, int32_t count, Fnv& h, double& energy) {
        for (int32_t i = 0; i < count; ++i) {
            const animal& a = list[i];
            energy += static_cast<double>(a.energy);
            hashCommon(h, a.x, a.y, a.energy, a.alive, a.age);
            h.word(a.chrom1);
            h.word(a.chrom2);
            h.word(a.chrom3);
            h.word(a.chrom4);
            h.word(a.GM);
        }
    };
    hashAnimals(HL, Hpop, herbivores, s.herbivoreEnergy);
    hashAnimals(CL, Cpop, carnivores, s.carnivoreEnergy);
    auto slotWord = [](Slot slot) {
        return slot == kEmpty ? 0xFFFFFFFFu : static_cast<uint32_t>(indexOf(slot));
    };
    for (int32_t cell = 0; cell < kCells; ++cell) {
        s.nutrientSum += static_cast<double>(nutrientAt(cell));
        grid.real(nutrientAt(cell));
        grid.word(slotWord(E.plant[cell]));
        grid.word(slotWord(E.herbivore[cell]));
        grid.word(slotWord(E.carnivore[cell]));
    }
    s.plantHash = plants.value();
    s.herbivoreHash = herbivores.value();
    s.carnivoreHash = carnivores.value();
    s.gridHash = grid.value();
    s.randomState = randState;
    return s;
}

// The real model seeded as the simulation thread seeds it, with its steps on
// `threads` threads. Run it in a scratch directory: no data files means a
// fresh layer and a generated sample.
void seedModel(const reference::Options& options, int threads = 1) {
    resetModel();
    setSimulationThreads(threads);
    Ppop = options.plants;
    Hpop = options.herbivores;
    Cpop = options.carnivores;
    seedRandom(options.seed);
    matureNutrients();
}

// The real model, run the way the simulation thread runs it, minus the
// console, the log file and the sleeps.
reference::RunResult runModel(const reference::Options& options, int threads = 1) {
    ScratchDirectory scratch;
    seedModel(options, threads);
    reference::RunResult result;
    for (int i = 0; i < options.cycles; ++i) {
        result.reports.push_back(reportNow());
        runCycleSteps();
        kk += 1;
        if (populationCollapsed()) break;
    }
    result.summary = summaryNow();
    setSimulationThreads(1);
    return result;
}

std::string describe(const reference::CycleReport& r) {
    return formatted("%d %d %d %d %d %d %d %.9g %.9g %.9g %.9g", r.kk, r.Ppop, r.Hpop, r.Cpop,
                     r.Peat, r.Heat, r.Ceat, double(r.pmax), double(r.hmax), double(r.cmax),
                     double(r.emax));
}

void expectSameSummary(const reference::Summary& a, const reference::Summary& e) {
    EXPECT_EQ(a.kk, e.kk);
    EXPECT_EQ(a.plantEnergy, e.plantEnergy);
    EXPECT_EQ(a.herbivoreEnergy, e.herbivoreEnergy);
    EXPECT_EQ(a.carnivoreEnergy, e.carnivoreEnergy);
    EXPECT_EQ(a.nutrientSum, e.nutrientSum);
    EXPECT_EQ(a.plantHash, e.plantHash);
    EXPECT_EQ(a.herbivoreHash, e.herbivoreHash);
    EXPECT_EQ(a.carnivoreHash, e.carnivoreHash);
    EXPECT_EQ(a.gridHash, e.gridHash);
    EXPECT_EQ(a.randomState, e.randomState);
}

void expectSameRun(const reference::Options& options, int threads = 1) {
    const reference::RunResult expected = reference::runWithSummary(options);
    const reference::RunResult actual = runModel(options, threads);
    ASSERT_EQ(actual.reports.size(), expected.reports.size());
    for (std::size_t i = 0; i < expected.reports.size(); ++i)
        ASSERT_EQ(describe(actual.reports[i]), describe(expected.reports[i])) << "cycle " << i;
    expectSameSummary(actual.summary, expected.summary);
}

TEST(OracleTest, DefaultWorldAgreesCycleByCycle) {
    reference::Options options;
    options.cycles = 12;
    expectSameRun(options);
}

TEST(OracleTest, SparseWorldWithAnotherSeedAgrees) {
    reference::Options options;
    options.seed = 20261208;
    options.plants = 40001;  // odd: the second half is one larger
    options.herbivores = 9000;
    options.carnivores = 1500;
    options.cycles = 40;
    expectSameRun(options);
}

TEST(OracleTest, DefaultWorldOnTwoThreadsAgrees) {
    reference::Options options;
    options.cycles = 12;
    expectSameRun(options, 2);
}

// Every thread count gives the same bits: the whole state after a few dozen
// cycles of the default world, every status and log number on the way.
TEST(OracleTest, ThreadCountsGiveTheSameState) {
    reference::Options options;
    options.cycles = 36;
    const reference::RunResult one = runModel(options, 1);
    for (const int threads : {2, 3}) {
        SCOPED_TRACE(threads);
        const reference::RunResult more = runModel(options, threads);
        ASSERT_EQ(more.reports.size(), one.reports.size());
        for (std::size_t i = 0; i < one.reports.size(); ++i)
            ASSERT_EQ(describe(more.reports[i]), describe(one.reports[i])) << "cycle " << i;
        expectSameSummary(more.summary, one.summary);
    }
}

TEST(OracleTest, CollapsingWorldStopsAfterTheSameCycle) {
    // Two carnivores among many herbivores die out within a few dozen cycles;
    // with this seed one dies first, so the run ends with exactly one left.
    reference::Options options;
    options.seed = 6;
    options.plants = 30000;
    options.herbivores = 30000;
    options.carnivores = 2;
    options.cycles = 200;
    const reference::RunResult expected = reference::runWithSummary(options);
    ASSERT_LT(expected.reports.size(), 200u) << "the reference run did not collapse";
    ASSERT_EQ(expected.summary.Cpop, 1) << "the reference run did not end on the boundary";
    expectSameRun(options);
}

// A few cycles of a small world, compared record by record and cell by cell
// instead of through the state hashes: quick enough for the sanitizer pass.

auto fieldsOf(const plant& p) {
    return std::tuple(p.x, p.y, std::bit_cast<uint32_t>(p.energy), p.alive, p.age, p.chrom1,
                      p.chrom2, p.GM);
}
auto fieldsOf(const reference::Plant& p) {
    return std::tuple(p.x, p.y, std::bit_cast<uint32_t>(p.energy), p.alive, p.age, p.chrom1,
                      p.chrom2, p.GM);
}
auto fieldsOf(const animal& a) {
    return std::tuple(a.x, a.y, std::bit_cast<uint32_t>(a.energy), a.alive, a.age, a.chrom1,
                      a.chrom2, a.chrom3, a.chrom4, a.GM);
}
auto fieldsOf(const reference::Animal& a) {
    return std::tuple(a.x, a.y, std::bit_cast<uint32_t>(a.energy), a.alive, a.age, a.chrom1,
                      a.chrom2, a.chrom3, a.chrom4, a.GM);
}

template <class Record, class ReferenceRecord>
void expectSameRecords(const char* kind, const Record* actual,
                       const std::vector<ReferenceRecord>& expected, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        ASSERT_EQ(fieldsOf(actual[i]), fieldsOf(expected[i])) << kind << " " << i;
}

// The first cell whose nutrient level or slots differ between the two models,
// or kCells; a plain loop, as it runs over every cell under the sanitizers.
int32_t firstDifferentCell(const reference::Model& m) {
    const int32_t current = m.currentBuffer() * reference::Model::kSlotBuffer;
    auto same = [current](Slot slot, int32_t expected) {
        return slot == kEmpty ? expected == reference::Model::kNoSlot
                              : expected == current + indexOf(slot);
    };
    for (int32_t cell = 0; cell < kCells; ++cell) {
        if (std::bit_cast<uint32_t>(nutrientAt(cell)) !=
                std::bit_cast<uint32_t>(m.nutrient[cell]) ||
            !same(E.plant[cell], m.plantSlot[cell]) ||
            !same(E.herbivore[cell], m.herbivoreSlot[cell]) ||
            !same(E.carnivore[cell], m.carnivoreSlot[cell]))
            return cell;
    }
    return kCells;
}

void expectSameState(reference::Model& expected) {
    ASSERT_EQ(std::tuple(int32_t(kk), int32_t(Ppop), int32_t(Hpop), int32_t(Cpop)),
              std::tuple(expected.kk, expected.Ppop, expected.Hpop, expected.Cpop));
    expectSameRecords("plant", static_cast<const plant*>(PL), expected.PL(), Ppop);
    expectSameRecords("herbivore", static_cast<const animal*>(HL), expected.HL(), Hpop);
    expectSameRecords("carnivore", static_cast<const animal*>(CL), expected.CL(), Cpop);
    EXPECT_EQ(firstDifferentCell(expected), kCells) << "the nutrient levels or slots differ";
    EXPECT_EQ(randState, expected.rng.state);
}

TEST(QuickOracleTest, SmallWorldWithHungryCarnivoresAndShortLivesAgrees) {
    const reference::Options options{
        .seed = 3, .plants = 20000, .herbivores = 5000, .carnivores = 1000, .cycles = 2};
    // Values a user could type into the dialogs, so that two cycles see every
    // step at work and at its edges: herbivores breed in the first cycle,
    // plants and carnivores in the second, as soon as they are old enough;
    // carnivores hunt from the start; and every seeded organism dies of old
    // age in the second cycle, leaving only newborns behind.
    reference::Model expected(options);
    expected.CSoffset = 400.0f;
    expected.CAoffset = 2;
    expected.PNoffset = expected.HNoffset = expected.CNoffset = 2;
    expected.seed();

    ScratchDirectory scratch;
    seedModel(options);
    CSoffset = 400.0f;
    CAoffset = 2;
    PNoffset = 2;
    HNoffset = 2;
    CNoffset = 2;
    for (int cycle = 0; cycle < options.cycles; ++cycle) {
        ASSERT_EQ(describe(reportNow()), describe(expected.report())) << "cycle " << cycle;
        const bool stops = expected.cycle();
        runCycleSteps();
        kk += 1;
        ASSERT_FALSE(stops) << "the small world collapsed";
    }
    EXPECT_EQ(describe(reportNow()), describe(expected.report()));
    expectSameState(expected);
}

}  // namespace
}  // namespace kesmir::testing
