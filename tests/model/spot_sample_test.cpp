#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

#include "model_fixture.h"
#include "reports/model/spot_file.h"
#include "reports/model/spot_sample.h"

namespace kesmir::testing {
namespace {

auto fieldsOf(const plant& p) {
    return std::tuple(p.x, p.y, p.energy, p.alive, p.age, p.chrom1, p.chrom2, p.GM);
}
auto fieldsOf(const animal& a) {
    return std::tuple(a.x, a.y, a.energy, a.alive, a.age, a.chrom1, a.chrom2, a.chrom3, a.chrom4,
                      a.GM);
}

class SpotSampleTest : public ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        Psamp = Hsamp = Csamp = 0;
    }

    // The two clicks, in click order, and the sample they take.
    static void select(vt first, vt second, int hScrollPos = 0, int vScrollPos = 0) {
        UL = first;
        LR = second;
        takeSpotSample(hScrollPos, vScrollPos);
    }

    static std::vector<vt> sampledPlantCells() {
        std::vector<vt> cells;
        for (int32_t i = 0; i < Psamp; ++i)
            cells.push_back(vt{SP[i].x, SP[i].y});
        return cells;
    }
};

TEST_F(SpotSampleTest, CornersInAnyOrderSelectTheSameCellsRowByRow) {
    // Inside columns 20..29 and rows 30..39, added out of sample order.
    addPlant(29, 39, 1.0f);
    addPlant(25, 30, 1.0f);
    addPlant(20, 30, 1.0f);
    addPlant(21, 35, 1.0f);
    // Outside: the second corner's column and row are not part of the rectangle.
    addPlant(30, 35, 1.0f);
    addPlant(25, 40, 1.0f);
    addPlant(19, 30, 1.0f);
    const std::vector<vt> rowByRow{{20, 30}, {25, 30}, {21, 35}, {29, 39}};

    const vt corners[4][2] = {
        {{20, 30}, {30, 40}}, {{30, 40}, {20, 30}}, {{30, 30}, {20, 40}}, {{20, 40}, {30, 30}}};
    for (const auto& [first, second] : corners) {
        select(first, second);
        EXPECT_EQ(sampledPlantCells(), rowByRow);
        EXPECT_EQ(UL, (vt{20, 30}));
        EXPECT_EQ(LR, (vt{30, 40}));
    }
}

TEST_F(SpotSampleTest, OnePixelSelectsOneCellAndALineSelectsNothing) {
    for (int32_t x = 9; x <= 11; ++x)
        for (int32_t y = 9; y <= 11; ++y)
            addPlant(x, y, 1.0f);
    select({10, 10}, {11, 11});
    EXPECT_EQ(sampledPlantCells(), (std::vector<vt>{{10, 10}}));

    select({10, 10}, {10, 50});
    EXPECT_EQ(Psamp, 0);
    select({9, 10}, {50, 10});
    EXPECT_EQ(Psamp, 0);
}

TEST_F(SpotSampleTest, CopiesEveryKindOnACellWholeAndReplacesTheLastSample) {
    select({0, 0}, {100, 100});  // an earlier, larger sample
    addPlant(4, 4, 1.0f);
    addPlant(5, 5, 1.0f);
    addPlant(6, 6, 1.0f);
    select({0, 0}, {100, 100});
    ASSERT_EQ(Psamp, 3);

    plant& p = addPlant(50, 60, 14.25f, 977, 21, 7);
    p.GM = 61680;
    p.alive = 0;  // sampled like any other record its cell still names
    animal& h = addHerbivore(50, 60, 120.0f, 1, 2, 3, 4, 5);
    h.GM = 6;
    animal& c = addCarnivore(50, 60, 300.0f, 11, 12, 13, 14, 15);
    select({10, 10}, {11, 11}, 40, 50);

    ASSERT_EQ(Psamp, 1);
    ASSERT_EQ(Hsamp, 1);
    ASSERT_EQ(Csamp, 1);
    EXPECT_EQ(fieldsOf(SP[0]), fieldsOf(p));
    EXPECT_EQ(fieldsOf(SH[0]), fieldsOf(h));
    EXPECT_EQ(fieldsOf(SC[0]), fieldsOf(c));
}

TEST_F(SpotSampleTest, NeverReadsPastTheWorldsLastColumnOrRow) {
    addPlant(3499, 10, 1.0f);
    addPlant(3450, 10, 1.0f);
    // Read as column 3500 of row 10, this cell would be sampled by mistake.
    addPlant(5, 11, 1.0f);
    select({50, 10}, {200, 11}, 3400, 0);
    EXPECT_EQ(sampledPlantCells(), (std::vector<vt>{{3450, 10}, {3499, 10}}));
    EXPECT_EQ(selectedCells(3400, 0).width, 50);

    addHerbivore(3499, 3499, 1.0f);
    select({0, 0}, {300, 300}, 3300, 3300);
    EXPECT_EQ(Hsamp, 1);
    const CellRect cells = selectedCells(3300, 3300);
    EXPECT_EQ(cells.x0 + cells.width, kWorldSide);
    EXPECT_EQ(cells.y0 + cells.height, kWorldSide);
}

TEST_F(SpotSampleTest, AKindStopsAtTheBufferCapacityAndSaysSo) {
    // 1000 rows of 1000 plants fill the buffer; one more plant follows.
    for (int32_t y = 0; y < 1000; ++y)
        for (int32_t x = 0; x < 1000; ++x)
            addPlant(x, y, 1.0f);
    addPlant(0, 1000, 1.0f);
    addHerbivore(999, 1000, 1.0f);  // after the plants are full

    ::testing::internal::CaptureStderr();
    select({0, 0}, {1000, 1001});
    const std::string told = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(Psamp, kSampleCapacity);
    EXPECT_EQ(SP[kSampleCapacity - 1].x, 999);
    EXPECT_EQ(SP[kSampleCapacity - 1].y, 999);
    EXPECT_EQ(Hsamp, 1);
    EXPECT_NE(told.find("only the first 1000000 plants"), std::string::npos) << told;
    EXPECT_EQ(told.find("herbivores"), std::string::npos) << told;
}

TEST_F(SpotSampleTest, HerbivoresAndCarnivoresCutShortAreToldByName) {
    for (int32_t y = 0; y < 1000; ++y) {
        for (int32_t x = 0; x < 1000; ++x) {
            addHerbivore(x, y, 1.0f);
            addCarnivore(x, y, 1.0f);
        }
    }
    addHerbivore(0, 1000, 1.0f);
    addCarnivore(1, 1000, 1.0f);
    addPlant(2, 1000, 1.0f);

    ::testing::internal::CaptureStderr();
    select({0, 0}, {1000, 1001});
    const std::string told = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(Hsamp, kSampleCapacity);
    EXPECT_EQ(Csamp, kSampleCapacity);
    EXPECT_EQ(Psamp, 1);
    EXPECT_NE(told.find("only the first 1000000 herbivores"), std::string::npos) << told;
    EXPECT_NE(told.find("only the first 1000000 carnivores"), std::string::npos) << told;
    EXPECT_EQ(told.find("plants"), std::string::npos) << told;
}

class SpotFileTest : public SpotSampleTest {
  protected:
    ScratchDirectory scratch;
};

TEST_F(SpotFileTest, WrittenOnlyWhileStoreIsSet) {
    addPlant(1, 1, 1.0f);
    select({0, 0}, {5, 5});
    EXPECT_FALSE(std::filesystem::exists(kSpotFile));

    writeFile(kSpotFile, "older sample\n");
    select({0, 0}, {5, 5});
    EXPECT_EQ(readFile(kSpotFile), "older sample\n");
}

TEST_F(SpotFileTest, HoldsTheCycleTheCountsAndOneLinePerRecord) {
    plant& p = addPlant(1, 1, 14.25f, 977, 21, 7);
    p.GM = 61680;
    addPlant(2, 1, -0.5f, 4294967295u, 0, 1);
    animal& h = addHerbivore(1, 2, 120.0f, 1, 2, 3, 4, 9);
    h.GM = 5;
    addCarnivore(1, 1, 300.0f, 10, 20, 30, 40, 2);
    addCarnivore(3, 3, 0.125f);
    addCarnivore(2, 3, 1.0f / 3.0f, 0, 0, 0, 0, 12);
    kk = 120;
    store = true;
    select({0, 0}, {5, 5});

    EXPECT_EQ(readFile(kSpotFile),
              "120\n"
              "2 1 3\n"
              "977 21 61680 14.250000 7\n"
              "4294967295 0 0 -0.500000 1\n"
              "1 3 2 4 5 120.000000 9\n"  // chrom3 before chrom2
              "10 30 20 40 0 300.000000 2\n"
              "0 0 0 0 0 0.333333 12\n"
              "0 0 0 0 0 0.125000 1\n");
}

TEST_F(SpotFileTest, AnEmptySelectionStillWritesTheFirstTwoLines) {
    addPlant(1, 1, 1.0f);
    kk = 3;
    store = true;
    select({1, 1}, {1, 9});
    EXPECT_EQ(readFile(kSpotFile), "3\n0 0 0\n");
}

TEST_F(SpotFileTest, AFileThatCannotBeWrittenIsToldAndTheSampleKept) {
    std::filesystem::create_directory(kSpotFile);
    addPlant(1, 1, 1.0f);
    store = true;
    ::testing::internal::CaptureStderr();
    select({0, 0}, {5, 5});
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("cannot write spot.dat"), std::string::npos) << told;
    EXPECT_EQ(Psamp, 1);
    EXPECT_FALSE(writeSpotFile());
}

}  // namespace
}  // namespace kesmir::testing
