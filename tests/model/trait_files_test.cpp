// "traits.csv" and "histograms.csv": statistics printed from the counts, the
// files read back after a few cycles, and rows kept whole on a full disk.
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "files/line_log.h"
#include "model/model_fixture.h"
#include "sim/eco_node.h"
#include "sim/trait_sampling.h"
#include "stats/trait_history.h"
#include "stats/trait_statistics.h"

namespace kesmir::testing {
namespace {

std::vector<std::string> split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, by);)
        parts.push_back(part);
    if (!text.empty() && text.back() == by) parts.push_back("");
    return parts;
}

TEST(TraitRows, StatisticsComeFromTheCountsAndEmptyKindsLeaveFieldsEmpty) {
    TraitCounts counts;
    counts.cycle = 12;
    counts.organisms = {4, 0, 0};
    const int poison = traitFieldIndex(Kind::plant, "poison");
    for (const auto& [v, n] : {std::pair{1, 2u}, {3, 1u}, {50, 1u}}) {
        counts.bins[binOffset(poison) + v] = n;
        counts.bins[binOffset(0) + v % 4] += n;  // metabolism: 1, 1, 3, 2
    }
    const std::vector<std::string> rows = split(traitRows(counts), '\n');
    ASSERT_EQ(rows.size(), std::size_t(kTraitFieldCount) + 1);  // and the empty end
    // v: 1, 1, 3, 50; mean 55 / 4; sd of the whole kind
    const std::vector<std::string> row = split(rows[std::size_t(poison)], ',');
    ASSERT_EQ(row.size(), 11u);
    EXPECT_EQ(std::vector<std::string>(row.begin(), row.begin() + 4),
              (std::vector<std::string>{"12", "plant", "poison", "4"}));
    EXPECT_EQ(std::strtod(row[4].c_str(), nullptr), 13.75);
    const double sd = std::sqrt((2 * 12.75 * 12.75 + 10.75 * 10.75 + 36.25 * 36.25) / 4);
    EXPECT_NEAR(std::strtod(row[5].c_str(), nullptr), sd, 1e-12);
    EXPECT_EQ(std::vector<std::string>(row.begin() + 6, row.end()),
              (std::vector<std::string>{"1", "1", "1", "50", "50"}));
    EXPECT_EQ(rows[0], "12,plant,metabolism,4,1.75,0.82915619758884995,1,1,1,3,3");
    EXPECT_EQ(rows[std::size_t(traitFieldIndex(Kind::carnivore, "metabolism"))],
              "12,carnivore,metabolism,0,,,,,,,");
    EXPECT_EQ(rows[std::size_t(traitFieldIndex(Kind::herbivore, "resistance"))],
              "12,herbivore,resistance,0,,,,,,,");

    // The percentiles land where the cumulative count first reaches the share.
    const int satiety = traitFieldIndex(Kind::plant, "satiety");
    counts.bins[binOffset(satiety) + 0] = 1;
    counts.bins[binOffset(satiety) + 9] = 1;
    counts.bins[binOffset(satiety) + 20] = 7;
    counts.bins[binOffset(satiety) + 30] = 1;  // 10 plants: p10 0, median 20, p90 20
    EXPECT_EQ(split(split(traitRows(counts), '\n')[std::size_t(satiety)], ',')[7], "0");
    EXPECT_EQ(split(split(traitRows(counts), '\n')[std::size_t(satiety)], ',')[9], "20");

    const std::string histograms = histogramRows(counts);
    EXPECT_NE(histograms.find("12,plant,poison,50,1\n"), std::string::npos);
    EXPECT_EQ(histograms.find("12,plant,poison,2,"), std::string::npos);  // held by none
}

TEST(TraitFiles, ReadBackWithTheirHeaderAndTheRowsOfEveryDueCycle) {
    ScratchDirectory scratch;
    resetModel();
    traitHistory.clear();
    traitSettings = {2, 3};
    seedSmallWorld(2000, 920, 200);
    startTraitFiles();
    std::vector<std::array<int32_t, 3>> organisms;
    for (int cycle = 0; cycle < 5; ++cycle) {
        organisms.push_back({Ppop, Hpop, Cpop});
        runCycle();
    }
    traitSettings = {};

    const std::vector<std::string> traits = split(readFile(kTraitsFile), '\n');
    ASSERT_EQ(traits.size(), 1 + 3 * std::size_t(kTraitFieldCount) + 1);
    EXPECT_EQ(traits[0] + "\n", kTraitsHeader);
    for (std::size_t row = 1; row + 1 < traits.size(); ++row) {
        const std::vector<std::string> columns = split(traits[row], ',');
        ASSERT_EQ(columns.size(), 11u) << traits[row];
        const int cycle = std::stoi(columns[0]);
        const std::size_t field = (row - 1) % std::size_t(kTraitFieldCount);
        EXPECT_EQ(cycle, 2 * int((row - 1) / std::size_t(kTraitFieldCount)));
        EXPECT_EQ(columns[2], kTraitFields[field].trait);
        EXPECT_EQ(std::stoi(columns[3]),
                  organisms[std::size_t(cycle)][int(kTraitFields[field].kind)]);
    }

    // Every field's counts add up to its kind, at cycles 0 and 3 only.
    const std::vector<std::string> histograms = split(readFile(kHistogramsFile), '\n');
    EXPECT_EQ(histograms[0] + "\n", kHistogramsHeader);
    std::map<std::pair<int, std::string>, int64_t> sums;
    for (std::size_t row = 1; row + 1 < histograms.size(); ++row) {
        const std::vector<std::string> c = split(histograms[row], ',');
        ASSERT_EQ(c.size(), 5u);
        sums[{std::stoi(c[0]), c[1] + " " + c[2]}] += std::stoll(c[4]);
    }
    EXPECT_EQ(sums.size(), 2 * std::size_t(kTraitFieldCount));
    for (const auto& [key, sum] : sums) {
        const int cycle = key.first;
        ASSERT_TRUE(cycle == 0 || cycle == 3) << cycle;
        const std::string kind = key.second.substr(0, key.second.find(' '));
        const int k = kind == "plant" ? 0 : kind == "herbivore" ? 1 : 2;
        EXPECT_EQ(sum, organisms[std::size_t(cycle)][k]) << key.second;
    }
    EXPECT_EQ(traitHistory.samples.size(), 4u);  // cycles 0, 2, 3, 4
    traitHistory.clear();
}

// A file size limit makes write() stop part way through, as a full disk does.
TEST(TraitFiles, AShortWriteLeavesWholeRowsAndLaterRowsFollow) {
    ScratchDirectory scratch;
    LineLog log("table.csv", kRowWording, "a,b\n");
    log.start();
    const std::string rows0 = "0,1\n0,2\n", rows1 = "1,1\n1,2\n";
    EXPECT_TRUE(log.append(rows0, 0));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit full = saved;
    full.rlim_cur = 4 + rows0.size() + 5;  // room for part of the next rows
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    bool written = true;
    const std::string told = toldOnStderr([&] { written = log.append(rows1, 1); });
    const std::string whileFull = readFile("table.csv");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(whileFull, "a,b\n" + rows0);
    EXPECT_EQ(told,
              "kesmir: cannot append to table.csv (File too large); the rows of cycle 1 are left "
              "out, the file cut back to its last whole line, and later rows are appended again "
              "once they can be written\n");
    EXPECT_EQ(toldOnStderr([&] { log.append("2,1\n", 2); }),
              "kesmir: table.csv is written again from cycle 2; the rows of cycle 1 are "
              "missing\n");
    EXPECT_EQ(readFile("table.csv"), "a,b\n" + rows0 + "2,1\n");
}

}  // namespace
}  // namespace kesmir::testing
