#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "report_fixture.h"
#include "reports/model/report_computations.h"
#include "reports/model/report_stats.h"

namespace kesmir::testing {
namespace {

using namespace kesmir::reports;
using ReportComputationsTest = ReportTest;

int binsFilled() {
    return std::accumulate(std::begin(hist), std::end(hist), 0);
}

TEST_F(ReportComputationsTest, AbsorptionBinsFollowTheCoefficientOfEachKind) {
    // Bin of absorption fields 0..7: (v + 1) / 15, / 12 and / 9 in single
    // precision against the limits 0.1 * j in double precision.
    const std::array<int, 8> plantBins{0, 1, 2, 2, 3, 4, 4, 5};
    const std::array<int, 8> herbivoreBins{0, 1, 2, 3, 4, 5, 5, 6};
    const std::array<int, 8> carnivoreBins{1, 2, 3, 4, 5, 6, 7, 8};
    for (uint32_t v = 0; v < 8; ++v) {
        SCOPED_TRACE(v);
        Psamp = Hsamp = Csamp = 0;
        samplePlant(v << 7);
        sampleHerbivore(v << 7);
        sampleCarnivore(v << 7);

        Pabsorbs();
        EXPECT_EQ(hist[plantBins[v]], 1);
        EXPECT_EQ(binsFilled(), 1);
        EXPECT_EQ(sumPAbs, static_cast<float>(v + 1) / 15.0f);
        Habsorbs();
        EXPECT_EQ(hist[herbivoreBins[v]], 1);
        EXPECT_EQ(binsFilled(), 1);
        EXPECT_EQ(sumHAbs, static_cast<float>(v + 1) / 12.0f);
        Cabsorbs();
        EXPECT_EQ(hist[carnivoreBins[v]], 1);
        EXPECT_EQ(binsFilled(), 1);
        EXPECT_EQ(sumCAbs, static_cast<float>(v + 1) / 9.0f);
    }
}

TEST_F(ReportComputationsTest, SixBitTraitsFallIntoTheirBinsBySinglePrecision) {
    // First field value of each bin; 12, 25, 38 and 51 give exactly 0.2, 0.4,
    // 0.6 and 0.8 and belong to the upper bin (38 only in single precision).
    const std::array<uint32_t, 11> firstOfBin{0, 6, 12, 19, 25, 32, 38, 45, 51, 58, 64};
    for (int bin = 0; bin < 10; ++bin) {
        for (uint32_t v = firstOfBin[bin]; v < firstOfBin[bin + 1]; ++v) {
            SCOPED_TRACE(v);
            Hsamp = 0;
            sampleHerbivore(0, v);
            camoWar();
            EXPECT_EQ(hist[bin], 1);
            EXPECT_EQ(binsFilled(), 1);
        }
    }
}

TEST_F(ReportComputationsTest, EachWarHistogramReadsItsOwnTrait) {
    samplePlant(~0u, /*poison 0, spines 63*/ 63u << 18);
    sampleHerbivore(~0u, /*camouflage 12, spine eating 25, resistance 51*/
                    12u | 25u << 6 | 51u << 12, ~0u, ~0u);
    sampleCarnivore(~0u, ~0u, /*sight 38*/ 38u);
    const std::pair<void (*)(), int> binOf[] = {{camoWar, 2},   {seeWar, 6},   {strengthWar, 0},
                                                {resistWar, 8}, {spineWar, 9}, {eatWar, 4}};
    for (const auto& [histogram, bin] : binOf) {
        histogram();
        EXPECT_EQ(hist[bin], 1);
        EXPECT_EQ(binsFilled(), 1);
    }
}

TEST_F(ReportComputationsTest, CompareCountsTraitsBelowTheTopValue) {
    samplePlant(0, /*poison 63, spines 62*/ 63u << 12 | 62u << 18, 4.5f);
    samplePlant(0, /*poison 0, spines 63*/ 63u << 18, 90.25f);
    samplePlant(0, /*poison 62, spines 63*/ 62u << 12 | 63u << 18, 12.0f);
    sampleHerbivore(0, /*camouflage 63*/ 63u, 0, 0, 50.0f);
    sampleHerbivore(0, /*camouflage 62, spine eating 63, resistance 63*/ 62u | 63u << 6 | 63u << 12,
                    0, 0, 70.0f);
    sampleHerbivore(0, /*camouflage 38*/ 38u, 0, 0, -2.0f);
    sampleCarnivore(0, 0, /*sight 63*/ 63u, 0, 8.0f);
    pmin = 1.0f;  // the population's extremes, kept for the status line
    pmax = 2.0f;
    hmax = 3.0f;

    compareGenes();
    EXPECT_EQ(psum, 2);
    EXPECT_EQ(ssum, 1);
    EXPECT_EQ(camSum, 2);
    EXPECT_EQ(eatSum, 2);
    EXPECT_EQ(hsum, 2);
    EXPECT_EQ(seeSum, 0);
    EXPECT_EQ(sampleEnergy.pmin, 4.5f);
    EXPECT_EQ(sampleEnergy.pmax, 90.25f);
    EXPECT_EQ(sampleEnergy.hmin, -2.0f);
    EXPECT_EQ(sampleEnergy.hmax, 70.0f);
    EXPECT_EQ(sampleEnergy.cmin, 8.0f);
    EXPECT_EQ(sampleEnergy.cmax, 8.0f);
    EXPECT_EQ(pmin, 1.0f);
    EXPECT_EQ(pmax, 2.0f);
    EXPECT_EQ(hmax, 3.0f);
}

TEST_F(ReportComputationsTest, DirectionProfileIsTheLastAnimalsOfTheSample) {
    constexpr uint32_t kAllOnes = 011111111;  // every 3-bit weight 1
    constexpr uint32_t kEastOnly = 7u << 21;
    sampleHerbivore(0, 0, 0, kEastOnly);
    sampleHerbivore(0, 0, 0, kAllOnes);
    sampleCarnivore(0, 0, 0, kAllOnes);
    sampleCarnivore(0, 0, 0, /*NE 2, SE 6*/ 2u << 18 | 6u);

    seeHDR();
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(dirProb[k], 0.125f) << k;
    seeCDR();
    EXPECT_EQ(dirProb[2], 0.25f);
    EXPECT_EQ(dirProb[8], 0.75f);
    EXPECT_EQ(dirProb[1] + dirProb[3] + dirProb[4] + dirProb[5] + dirProb[6] + dirProb[7], 0.0f);

    Hsamp = 0;
    sampleHerbivore(0, 0, 0, kAllOnes);
    sampleHerbivore(0, 0, 0, kEastOnly);
    seeHDR();
    EXPECT_EQ(dirProb[1], 1.0f);
    for (int k = 2; k <= 8; ++k)
        EXPECT_EQ(dirProb[k], 0.0f) << k;

    Csamp = 0;
    sampleCarnivore(0, 0, 0, /*no weights, speed 7*/ 7u << 28);
    seeCDR();
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(dirProb[k], 0.0f) << k;
}

TEST_F(ReportComputationsTest, SpeedsAddTheLowestSpeedOfTheKind) {
    sampleHerbivore(0, 0, 0, 0);
    sampleHerbivore(0, 0, 0, 7u << 28 | 1u << 31 | 7u << 24);  // bits 24-27 and 31 are no speed
    sampleCarnivore(0, 0, 0, 2u << 28);
    seeHDR();
    EXPECT_EQ(Hspeed, (0 + 1) + (7 + 1));
    EXPECT_EQ(Cspeed, 2 + 3);
}

TEST_F(ReportComputationsTest, MarkersSplitEachKindByTheSampleBMarker) {
    samplePlant(0, 0, 1.0f, 1, 61680);
    samplePlant(0, 0, 1.0f, 1, 3855);
    samplePlant(0, 0, 1.0f, 1, 0);
    sampleHerbivore(0).GM = 61680;
    sampleHerbivore(0).GM = 61680;
    sampleHerbivore(0).GM = 61681;
    sampleCarnivore(0).GM = 0;
    // Fill the upper bins first: the marker count must clear them.
    for (int i = 0; i < 4; ++i)
        samplePlant(0, 63u << 18, 1.0f, 1, 0xF0F0);
    spineWar();
    ASSERT_EQ(hist[9], 4);

    countGM();
    EXPECT_EQ((std::array<int32_t, 10>{hist[0], hist[1], hist[2], hist[3], hist[4], hist[5],
                                       hist[6], hist[7], hist[8], hist[9]}),
              (std::array<int32_t, 10>{2, 5, 1, 2, 1, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace kesmir::testing
