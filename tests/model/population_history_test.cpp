// The population history: entries kept across its blocks, read while the
// simulation appends, and fed from the same numbers as the population log.
#include <atomic>
#include <memory>
#include <sstream>
#include <thread>

#include "model/model_fixture.h"
#include "sim/eco_node.h"
#include "stats/population_history.h"

namespace kesmir::testing {
namespace {

PopulationCounts countsOf(int32_t i) {
    return {i, 3 * i, 2 * i + 1, i % 7};
}

TEST(PopulationHistoryTest, KeepsEveryEntryAcrossBlocksWhileAReaderLooks) {
    auto history = std::make_unique<PopulationHistory>();
    constexpr int32_t kEntries = int32_t(PopulationHistory::kBlockSize) + 1000;
    std::atomic<bool> wrong{false};
    std::thread reader([&] {
        for (std::size_t seen = 0; seen < std::size_t(kEntries);) {
            const std::size_t size = history->size();
            for (; seen < size; ++seen) {
                const PopulationCounts& c = (*history)[seen];
                const PopulationCounts want = countsOf(int32_t(seen));
                if (c.cycle != want.cycle || c.plants != want.plants ||
                    c.herbivores != want.herbivores || c.carnivores != want.carnivores)
                    wrong = true;
            }
        }
    });
    for (int32_t i = 0; i < kEntries; ++i)
        history->append(countsOf(i));
    reader.join();
    EXPECT_FALSE(wrong);
    EXPECT_EQ(history->size(), std::size_t(kEntries));
    history->clear();
    EXPECT_EQ(history->size(), 0u);
}

TEST(PopulationHistoryTest, EachCycleAppendsTheCountsOfItsLogLine) {
    ScratchDirectory scratch;
    resetModel();
    populationHistory.clear();
    seedSmallWorld(2000, 920, 200);
    for (int i = 0; i < 3; ++i)
        runCycle();
    ASSERT_EQ(populationHistory.size(), 3u);
    std::istringstream log(readFile("dt.dat"));
    for (std::size_t i = 0; i < 3; ++i) {
        int cycle = -1, plants = -1, herbivores = -1, carnivores = -1;
        log >> cycle >> plants >> herbivores >> carnivores;
        log.ignore(100, '\n');
        EXPECT_EQ(populationHistory[i].cycle, cycle);
        EXPECT_EQ(populationHistory[i].plants, plants);
        EXPECT_EQ(populationHistory[i].herbivores, herbivores);
        EXPECT_EQ(populationHistory[i].carnivores, carnivores);
    }
    EXPECT_EQ(populationHistory[2].cycle, 2);
    populationHistory.clear();
}

}  // namespace
}  // namespace kesmir::testing
