#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "report_fixture.h"
#include "reports/model/report_computations.h"
#include "reports/model/report_stats.h"

namespace kesmir::testing {
namespace {

using reports::hist;
using reports::sumCAbs;
using reports::sumHAbs;
using reports::sumPAbs;
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

        reports::Pabsorbs();
        EXPECT_EQ(hist[plantBins[v]], 1);
        EXPECT_EQ(binsFilled(), 1);
        EXPECT_EQ(sumPAbs, static_cast<float>(v + 1) / 15.0f);
        reports::Habsorbs();
        EXPECT_EQ(hist[herbivoreBins[v]], 1);
        EXPECT_EQ(binsFilled(), 1);
        EXPECT_EQ(sumHAbs, static_cast<float>(v + 1) / 12.0f);
        reports::Cabsorbs();
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
            reports::camoWar();
            EXPECT_EQ(hist[bin], 1);
            EXPECT_EQ(binsFilled(), 1);
        }
    }
}

}  // namespace
}  // namespace kesmir::testing
