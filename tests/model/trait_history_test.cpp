// The trait history: the distributions of a long run reduced by merging
// neighbours without losing a count, and the histories carried by
// checkpoints (format 2) or absent from old ones (format 1).
#include "stats/trait_history.h"
#include <atomic>
#include <thread>

#include <zstd.h>

#include <cstring>

#include "files/checkpoint_file.h"
#include "files/checksum64.h"
#include "model/model_fixture.h"
#include "sim/eco_node.h"
#include "sim/trait_sampling.h"
#include "stats/population_history.h"

namespace kesmir::testing {
namespace {

// Sample i: its cycle 3 i, plants whose poison is i % 64 (i + 1 of them).
TraitCounts sampleCounts(int32_t i) {
    TraitCounts counts;
    counts.cycle = 3 * i;
    counts.organisms = {i + 1, 0, 0};
    for (int f = 0; f < kTraitFieldCount && kTraitFields[f].kind == Kind::plant; ++f)
        counts.bins[binOffset(f) + (f == traitFieldIndex(Kind::plant, "poison") ? i % 64 : 0)] =
            uint32_t(i + 1);
    return counts;
}

TEST(TraitDistributionsTest, ALongRunIsMergedInPairsWithoutLosingACount) {
    auto distributions = std::make_unique<TraitDistributions>();
    constexpr int32_t kSamples = 5000;  // past two merges: 4 samples a column, 904 = 226 x 4 after
                                        // the second
    for (int32_t i = 0; i < kSamples; ++i)
        distributions->add(sampleCounts(i));
    const int poison = traitFieldIndex(Kind::plant, "poison");
    const FieldDistribution d = distributions->field(poison);
    ASSERT_EQ(d.columns.size(), 1024u + (kSamples - 4096 + 3) / 4);
    std::array<uint64_t, 64> byValue{};
    uint64_t plants = 0;
    for (std::size_t c = 0; c < d.columns.size(); ++c) {
        const DistributionColumn& column = d.columns[c];
        const bool last = c + 1 == d.columns.size();
        EXPECT_EQ(column.samples, 4u);
        EXPECT_EQ(column.firstCycle, 3 * 4 * int32_t(c));
        EXPECT_EQ(column.lastCycle, last ? 3 * (kSamples - 1) : column.firstCycle + 9);
        uint64_t held = 0;
        for (int v = 0; v < 64; ++v) {
            byValue[std::size_t(v)] += d.count(c, v);
            held += d.count(c, v);
        }
        EXPECT_EQ(held, column.organisms[0]);
        plants += column.organisms[0];
    }
    EXPECT_EQ(plants, uint64_t(kSamples) * (kSamples + 1) / 2);
    for (int v = 0; v < 64; ++v) {
        uint64_t want = 0;
        for (int32_t i = v; i < kSamples; i += 64)
            want += uint64_t(i + 1);
        EXPECT_EQ(byValue[std::size_t(v)], want) << "v " << v;
    }
    EXPECT_EQ(distributions->state().samplesPerColumn, 4u);
}

// A reader copying a field while samples are added and columns merged never
// sees a column whose values do not add up to its organisms.
TEST(TraitDistributionsTest, ACopyIsNeverCaughtHalfChanged) {
    auto distributions = std::make_unique<TraitDistributions>();
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int32_t i = 0; i < 20000; ++i)
            distributions->add(sampleCounts(i));
        done = true;
    });
    const int poison = traitFieldIndex(Kind::plant, "poison");
    int torn = 0, copies = 0;
    while (!done) {
        const FieldDistribution d = distributions->field(poison);
        for (std::size_t c = 0; c < d.columns.size(); ++c) {
            uint64_t held = 0;
            for (int v = 0; v < d.values; ++v)
                held += d.count(c, v);
            torn += held != d.columns[c].organisms[0];
        }
        ++copies;
    }
    writer.join();
    EXPECT_EQ(torn, 0) << "in " << copies << " copies";
}

class HistoryCheckpointTest : public ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        populationHistory.clear();
        traitHistory.clear();
        seedSmallWorld(2000, 920, 200);
        for (int i = 0; i < 5; ++i)
            runCycle();
    }
    void TearDown() override {
        populationHistory.clear();
        traitHistory.clear();
    }
    ScratchDirectory scratch_;
};

TEST_F(HistoryCheckpointTest, Format2CarriesTheHistoriesAndFormat1HasNone) {
    // Written as a run writes it: after the status line of cycle 5.
    runSettings.checkpointEvery = 5;
    runCycle();
    runSettings.checkpointEvery = 0;
    ASSERT_EQ(populationHistory.size(), 6u);
    ASSERT_EQ(traitHistory.samples.size(), 6u);
    const PopulationCounts lastCounts = populationHistory[5];
    const TraitSample last = traitHistory.samples[5];
    const DistributionState distributions = traitHistory.distributions.state();
    ASSERT_TRUE(writeCheckpoint("old.kes", 1).ok);

    populationHistory.clear();
    traitHistory.clear();
    std::string error;
    ASSERT_TRUE(readCheckpoint(kCheckpointFile, error)) << error;
    ASSERT_EQ(populationHistory.size(), 6u);
    EXPECT_EQ(populationHistory[5].cycle, 5);
    EXPECT_EQ(populationHistory[5].herbivores, lastCounts.herbivores);
    ASSERT_EQ(traitHistory.samples.size(), 6u);
    EXPECT_EQ(traitHistory.samples[5].sums, last.sums);
    EXPECT_EQ(traitHistory.samples[5].organisms, last.organisms);
    const DistributionState back = traitHistory.distributions.state();
    EXPECT_EQ(back.bins, distributions.bins);
    EXPECT_EQ(back.columns.size(), distributions.columns.size());

    // The resumed run reports cycle 5 again without keeping it twice.
    runCycle();
    EXPECT_EQ(populationHistory.size(), 6u);
    EXPECT_EQ(traitHistory.samples.size(), 6u);
    EXPECT_EQ(traitHistory.distributions.state().bins, distributions.bins);
    runCycle();
    EXPECT_EQ(traitHistory.samples.size(), 7u);
    EXPECT_EQ(traitHistory.samples[6].cycle, 6);

    ASSERT_TRUE(readCheckpoint("old.kes", error)) << error;
    EXPECT_EQ(populationHistory.size(), 0u);
    EXPECT_EQ(traitHistory.samples.size(), 0u);
    EXPECT_EQ(kk, 6);
}

TEST_F(HistoryCheckpointTest, HistoriesThatDoNotFitTheirRunAreRefused) {
    populationHistory.append({kk + 7, 1, 2, 3});  // a cycle not yet run
    ASSERT_TRUE(writeCheckpoint("future.kes").ok);
    std::string error;
    EXPECT_FALSE(readCheckpoint("future.kes", error));
    EXPECT_NE(error.find("population counts out of order"), std::string::npos) << error;

    populationHistory.clear();
    DistributionState lost = traitHistory.distributions.state();
    lost.bins[3] += 1;  // a plant more in one field than in its kind
    traitHistory.distributions.restore(lost);
    ASSERT_TRUE(writeCheckpoint("lost.kes").ok);
    EXPECT_FALSE(readCheckpoint("lost.kes", error));
    EXPECT_NE(error.find("heat map that does not match its samples"), std::string::npos) << error;

    // A count far beyond what the file holds fails when the data runs out,
    // without first reserving memory for it.
    traitHistory.clear();
    kk = 2000000000;
    ASSERT_TRUE(writeCheckpoint("empty.kes").ok);
    std::string file = readFile("empty.kes");
    std::string state(64 << 20, '\0');
    const std::string_view body(file.data() + 24, file.size() - 24 - 16);
    const std::size_t size = ZSTD_decompress(state.data(), state.size(), body.data(), body.size());
    ASSERT_FALSE(ZSTD_isError(size));
    state.resize(size);
    // Empty histories end the state: no counts, no samples, 1 a column, no columns.
    const std::string tail = std::string("\0\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0", 16);
    ASSERT_EQ(state.substr(size - 16), tail);
    const uint32_t huge = 1999999999;
    std::memcpy(state.data() + size - 16, &huge, 4);
    std::string packed(ZSTD_compressBound(size), '\0');
    packed.resize(ZSTD_compress(packed.data(), packed.size(), state.data(), size, 1));
    file = file.substr(0, 24) + packed + std::string(16, '\0');
    const uint64_t length = file.size();
    std::memcpy(file.data() + file.size() - 16, &length, 8);
    Checksum64 sum;
    sum.add(file.data(), file.size() - 8);
    const uint64_t checksum = sum.value();
    std::memcpy(file.data() + file.size() - 8, &checksum, 8);
    writeFile("huge.kes", file);
    EXPECT_FALSE(readCheckpoint("huge.kes", error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
}

}  // namespace
}  // namespace kesmir::testing
