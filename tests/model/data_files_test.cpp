// The gene sample "sample9GM.dat", the nutrient layer "nut.dat" and the
// status and log lines: formats, round trips and the fallbacks on bad files.
#include <gtest/gtest.h>

#include "files/nutrient_file.h"
#include "model_fixture.h"
#include "seed/gene_sample_file.h"
#include "seed/seeding.h"
#include "sim/report_lines.h"

namespace kesmir::testing {
namespace {

class DataFilesTest : public ModelTest {
  protected:
    ScratchDirectory scratch_;
};

TEST_F(DataFilesTest, LinesAreFormattedAsPrintfWouldWriteThem) {
    plant p{};
    p.chrom1 = 5;
    p.chrom2 = 7;
    p.GM = 61680;
    p.energy = 80.0f;
    p.age = 1;
    std::string text;
    appendPlantLine(text, p);
    EXPECT_EQ(text, "5 7 61680 80.000000 1\n");

    animal h{};
    h.chrom1 = 1;
    h.chrom2 = 2;
    h.chrom3 = 3;
    h.chrom4 = 4;
    h.energy = 120.0f;
    h.age = 3;
    text.clear();
    appendAnimalLine(text, h);
    EXPECT_EQ(text, "1 3 2 4 0 120.000000 3\n");  // chrom3 before chrom2
}

TEST_F(DataFilesTest, StoredSampleSeedsTheNextRun) {
    // A world of one plant, one herbivore and one carnivore: every line of
    // the sample is that organism.
    addPlant(1, 1, 14.25f, 977, 21, 7).GM = 61680;
    animal& h = addHerbivore(2, 2, 33.5f, 0xFFFFFFFFu, 2, 3, 0x81234567u, 9);
    h.GM = 3855;
    addCarnivore(3, 3, 1.0f, 11, 12, 13, 14, 15);
    storeGMSamples();
    const std::string text = readFile(kGeneSampleFile);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "977 21 61680 14.250000 7\n");
    EXPECT_NE(text.find("4294967295 3 2 2166572391 3855 33.500000 9\n"), std::string::npos);

    loadGMSamples();
    EXPECT_EQ(seedSampleBSize, kLoadedSeedSampleSize);
    for (int i : {0, 999}) {
        EXPECT_EQ(PB[i].chrom1, 977u);
        EXPECT_EQ(PB[i].chrom2, 21u);
        EXPECT_EQ(PB[i].GM, 61680u);
        EXPECT_EQ(PB[i].energy, 14.25f);
        EXPECT_EQ(PB[i].age, 7);
        EXPECT_EQ(HB[i].chrom1, 0xFFFFFFFFu);
        EXPECT_EQ(HB[i].chrom2, 2u);
        EXPECT_EQ(HB[i].chrom3, 3u);
        EXPECT_EQ(HB[i].chrom4, 0x81234567u);
        EXPECT_EQ(HB[i].GM, 3855u);
        EXPECT_EQ(HB[i].energy, 33.5f);
        EXPECT_EQ(CB[i].age, 15);
    }
}

TEST_F(DataFilesTest, StoringTakesItsDrawsEvenWhenTheFileCannotBeWritten) {
    addPlant(1, 1, 1.0f);
    addHerbivore(2, 2, 1.0f);
    addCarnivore(3, 3, 1.0f);
    std::filesystem::create_directory(kGeneSampleFile);  // a directory stands in the way
    seedRandom(4242);
    ::testing::internal::CaptureStderr();
    storeGMSamples();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot write sample9GM.dat"), std::string::npos) << said;
    const uint32_t afterDraws = stateAfterDraws(4242, 3000);
    seedRandom(4242);
    ::testing::internal::CaptureStderr();
    storeGMSamples();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(randState, afterDraws);
}

// Each bad sample file is told on stderr and replaced by a generated sample.
TEST_F(DataFilesTest, BadSampleFilesFallBackToAGeneratedSample) {
    std::string good;
    for (int i = 0; i < 1000; ++i)
        good += "1 2 3 4.5 6\n";
    for (int i = 0; i < 2000; ++i)
        good += "1 2 3 4 5 6.5 7\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {good.substr(0, good.size() / 2), "ends where"},
        {"1 2 x 4.5 6\n" + good.substr(good.find('\n') + 1), "\"x\""},
        {"1 2 3 nan 6\n" + good.substr(good.find('\n') + 1), "not a finite number"},
        {"1 2 3 4.5 6.5\n" + good.substr(good.find('\n') + 1), "whole number"},
        {"-1 2 3 4.5 6\n" + good.substr(good.find('\n') + 1), "unsigned"},
        {good + "1 2 3\n", "more than 3000 records"},
    };
    for (const auto& [text, reason] : cases) {
        writeFile(kGeneSampleFile, text);
        seedSampleBSize = 0;
        ::testing::internal::CaptureStderr();
        loadGMSamples();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("sample9GM.dat"), std::string::npos) << said;
        EXPECT_NE(said.find(reason), std::string::npos) << said;
        EXPECT_EQ(seedSampleBSize, kSeedSampleSize);
        EXPECT_EQ(PB[0].GM, kMarkerB);  // generated, not half-read
        EXPECT_EQ(PB[0].energy, 80.0f);
        EXPECT_EQ(HB[4999].GM, kMarkerB);
    }
    writeFile(kGeneSampleFile, good);
    loadGMSamples();
    EXPECT_EQ(seedSampleBSize, kLoadedSeedSampleSize);
    EXPECT_EQ(PB[0].energy, 4.5f);
}

TEST_F(DataFilesTest, NutrientLayerRoundTripsAndBadFilesGiveAFreshLayer) {
    setNutrient(0, 1.5f);
    setNutrient(kCells - 1, 5981.25f);
    ::testing::internal::CaptureStderr();
    logNutrients();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "kesmir: wrote nut.dat\n");
    initEcosystem();
    loadNutrients();
    EXPECT_EQ(nutrientAt(0), 1.5f);
    EXPECT_EQ(nutrientAt(1), 250.0f);
    EXPECT_EQ(nutrientAt(kCells - 1), 5981.25f);

    writeFile(kNutrientFile, "250.0 251.0 oops");
    setNutrient(1, 7.0f);
    ::testing::internal::CaptureStderr();
    loadNutrients();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("nut.dat"), std::string::npos) << said;
    EXPECT_NE(said.find("fresh nutrient layer"), std::string::npos) << said;
    EXPECT_EQ(nutrientAt(0), 250.0f);  // not 250.0 from the file's first value alone:
    EXPECT_EQ(nutrientAt(1), 250.0f);  // the whole layer is fresh
}

TEST(ReportLinesTest, StatusAndLogLinesOfTheFirstCycle) {
    resetModel();
    Ppop = 500000;
    Hpop = 230000;
    Cpop = 50000;
    EXPECT_EQ(statusLine(), "   0   500000  230000  50000       0.00    0.00    0.00    0.00  ");
    EXPECT_EQ(populationLogLine(), "0 500000 230000 50000    0 0 0\n");
    std::tm time{};
    time.tm_hour = 7;
    time.tm_min = 5;
    time.tm_sec = 9;
    EXPECT_EQ(stamp(time), "07:05:09\n");
    // Every field its own value, so that no two can change places unseen.
    pmax = -100000.0f;  // every plant died in the last cull
    hmax = 1.25f;
    cmax = 33.5f;
    emax = 250.75f;
    kk = 12345;
    Peat = 11;
    Heat = 22;
    Ceat = 3;
    EXPECT_EQ(statusLine(),
              "12345   500000  230000  50000    -100000.00    1.25   33.50  250.75  ");
    EXPECT_EQ(populationLogLine(), "12345 500000 230000 50000    11 22 3\n");
}

}  // namespace
}  // namespace kesmir::testing
