// The world picture: palette entries, the nutrient colour map with its ends,
// the draw order of the organisms, and a picture into a wider image.
#include <QTest>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "display/render/palette.h"
#include "display/render/view_render.h"
#include "model/model_fixture.h"

namespace kesmir {

namespace {

uint32_t rgb(int red, int green, int blue) {
    return pixelOf(Rgb{red, green, blue});
}

// The map as plainly stated: colorTransform, then the nearest end entry.
int referenceIndex(float level) {
    const int index = colorTransform(768, 485, 6000.0f, 500.0f, level);
    return index < 0 ? 0 : index > 767 ? 767 : index;
}

float nextAfter(float level) {
    return std::nextafter(level, std::numeric_limits<float>::infinity());
}

}  // namespace

class FrameTest : public QObject {
    Q_OBJECT

  private:
    std::vector<uint32_t> frame_ = std::vector<uint32_t>(std::size_t(kCells));

    uint32_t pixel(int x, int y) const { return frame_[std::size_t(cellIndex(x, y))]; }

  private slots:
    void init() {
        testing::resetModel();
        initPalette();
    }

    void paletteRamps() {
        QCOMPARE(palettePixels[0], rgb(0, 0, 255));
        QCOMPARE(palettePixels[255], rgb(255, 0, 0));
        QCOMPARE(palettePixels[256], rgb(255, 0, 0));
        QCOMPARE(palettePixels[511], rgb(255, 255, 0));
        QCOMPARE(palettePixels[600], rgb(255, 255, 88));
        QCOMPARE(palettePixels[767], rgb(255, 255, 255));
    }

    void nutrientColours_data() {
        QTest::addColumn<float>("level");
        QTest::addColumn<int>("index");
        QTest::addColumn<uint32_t>("colour");
        QTest::newRow("0") << 0.0f << 459 << rgb(255, 203, 0);
        QTest::newRow("250") << 250.0f << 472 << rgb(255, 216, 0);
        QTest::newRow("500") << 500.0f << 485 << rgb(255, 229, 0);
        QTest::newRow("1000") << 1000.0f << 510 << rgb(255, 254, 0);
        QTest::newRow("3000") << 3000.0f << 613 << rgb(255, 255, 101);
        QTest::newRow("5981") << 5981.0f << 767 << rgb(255, 255, 255);
        QTest::newRow("6000, past the end") << 6000.0f << 767 << rgb(255, 255, 255);
        QTest::newRow("1e30") << 1e30f << 767 << rgb(255, 255, 255);
        QTest::newRow("-8945") << -8945.0f << 0 << rgb(0, 0, 255);
        QTest::newRow("-1e30") << -1e30f << 0 << rgb(0, 0, 255);
        QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << 0 << rgb(0, 0, 255);
    }

    void nutrientColours() {
        QFETCH(float, level);
        QFETCH(int, index);
        QFETCH(uint32_t, colour);
        QCOMPARE(nutrientIndex(level), index);
        setNutrient(cellIndex(7, 9), level);
        drawFrame(frame_.data(), kWorldSide);
        QCOMPARE(pixel(7, 9), colour);
        QCOMPARE(pixel(8, 9), rgb(255, 216, 0));  // the fresh level around it
    }

    // The drawing loop's map must agree with colorTransform on both sides of
    // every step between two palette entries.
    void nutrientIndexAgreesAtEveryStep() {
        float level = -9000.0f;
        for (int step = 1; step < kPaletteSize; ++step) {
            // Bisect over the ordered float bit patterns of positive and
            // negative levels alike, via their rank.
            auto rank = [](float f) {
                const int32_t bits = std::bit_cast<int32_t>(f);
                return bits < 0 ? int64_t(INT32_MIN) - bits : int64_t(bits);
            };
            auto fromRank = [](int64_t r) {
                return std::bit_cast<float>(r < 0 ? int32_t(INT32_MIN - r) : int32_t(r));
            };
            int64_t low = rank(level), high = rank(7000.0f);
            while (high - low > 1) {
                const int64_t middle = low + (high - low) / 2;
                (referenceIndex(fromRank(middle)) >= step ? high : low) = middle;
            }
            const float first = fromRank(high);
            QCOMPARE(nutrientIndex(fromRank(low)), referenceIndex(fromRank(low)));
            QCOMPARE(nutrientIndex(first), referenceIndex(first));
            QCOMPARE(nutrientIndex(nextAfter(first)), referenceIndex(nextAfter(first)));
            level = first;
        }
        QCOMPARE(nutrientIndex(level), 767);
    }

    void carnivoreOverHerbivoreOverPlant() {
        testing::addCarnivore(100, 200, 5.0f);
        testing::addHerbivore(100, 200, 5.0f);
        testing::addPlant(100, 200, 5.0f);
        testing::addHerbivore(101, 200, 5.0f);
        testing::addPlant(101, 200, 5.0f);
        testing::addPlant(102, 200, 5.0f);
        drawFrame(frame_.data(), kWorldSide);
        QCOMPARE(pixel(100, 200), pixelOf(kCarnivoreColour));
        QCOMPARE(pixel(101, 200), pixelOf(kHerbivoreColour));
        QCOMPARE(pixel(102, 200), pixelOf(kPlantColour));
        QCOMPARE(pixel(103, 200), rgb(255, 216, 0));
    }

    void deadRecordsStillCountedAreDrawn() {
        testing::addPlant(0, 0, -1.0f).alive = 0;
        testing::addHerbivore(3499, 0, -1.0f).alive = 0;
        testing::addCarnivore(3499, 3499, -1.0f).alive = 0;
        drawFrame(frame_.data(), kWorldSide);
        QCOMPARE(pixel(0, 0), pixelOf(kPlantColour));
        QCOMPARE(pixel(3499, 0), pixelOf(kHerbivoreColour));
        QCOMPARE(pixel(3499, 3499), pixelOf(kCarnivoreColour));
    }

    void aWiderImageKeepsItsPadding() {
        testing::addPlant(5, 5, 1.0f);
        const int stride = kWorldSide + 4;
        std::vector<uint32_t> wide(std::size_t(stride) * kWorldSide, 0u);
        drawFrame(wide.data(), stride);
        QCOMPARE(wide[std::size_t(5) * stride + 5], pixelOf(kPlantColour));
        QCOMPARE(wide[std::size_t(5) * stride + 6], rgb(255, 216, 0));
        QCOMPARE(wide[std::size_t(5) * stride + kWorldSide], 0u);  // padding untouched
    }
};

}  // namespace kesmir

QTEST_APPLESS_MAIN(kesmir::FrameTest)
#include "frame_test.moc"
