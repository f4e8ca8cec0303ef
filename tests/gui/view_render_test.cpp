// The view drawn from the grid: against the plain rule cell by cell at every
// zoom, and the highest kind winning a zoomed-out pixel.
#include <QTest>
#include <algorithm>
#include <vector>

#include "display/render/palette.h"
#include "display/render/view_render.h"
#include "model/model_fixture.h"

namespace kesmir {

namespace {

// What the content pixel (px, py) shows by the plain rule: the highest kind
// on any cell it covers, else the nutrient colour of the first of them.
uint32_t plainPixel(Zoom zoom, int32_t px, int32_t py) {
    const int32_t x0 = cellAt(zoom, px), y0 = cellAt(zoom, py);
    const int32_t x1 = zoom.zoomedOut() ? std::min(3500, cellAt(zoom, px + 1)) : x0 + 1;
    const int32_t y1 = zoom.zoomedOut() ? std::min(3500, cellAt(zoom, py + 1)) : y0 + 1;
    bool carnivore = false, herbivore = false, plant = false;
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) {
            carnivore |= E.carnivore.occupied(cellIndex(x, y));
            herbivore |= E.herbivore.occupied(cellIndex(x, y));
            plant |= E.plant.occupied(cellIndex(x, y));
        }
    if (carnivore) return pixelOf(kCarnivoreColour);
    if (herbivore) return pixelOf(kHerbivoreColour);
    if (plant) return pixelOf(kPlantColour);
    return palettePixels[nutrientIndex(nutrientAt(cellIndex(x0, y0)))];
}

// Organisms on about `perMille` of the cells, each kind on cells of its own.
template <class Add>
void scatter(int perMille, uint32_t seed, const SlotLayer& layer, Add add) {
    for (int32_t i = 0; i < kCells / 1000 * perMille; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t cell = int32_t(seed % uint32_t(kCells));
        if (!layer.occupied(cell)) add(cell % kWorldSide, cell / kWorldSide);
    }
}

}  // namespace

class ViewRenderTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        testing::resetModel();
        initPalette();
    }

    void theViewFollowsThePlainRuleAtEveryZoom() {
        for (int32_t cell = 0; cell < kCells; ++cell)
            setNutrient(cell, float(cell % 6007));
        scatter(30, 1, E.plant, [](int32_t x, int32_t y) { testing::addPlant(x, y, 1.0f); });
        scatter(10, 2, E.herbivore,
                [](int32_t x, int32_t y) { testing::addHerbivore(x, y, 1.0f); });
        scatter(2, 3, E.carnivore, [](int32_t x, int32_t y) { testing::addCarnivore(x, y, 1.0f); });

        std::vector<Zoom> zooms(kZoomLevels.begin(), kZoomLevels.end());
        zooms.push_back(fittedZoom(1185, 1000));
        std::vector<uint32_t> pixels;
        for (const Zoom zoom : zooms) {
            const int32_t extent = contentExtent(zoom);
            // The top-left corner, and an area at an odd offset that reaches
            // the world's last (partly covered) pixel.
            for (const PixelRect area : {PixelRect{0, 0, std::min(extent, 130), 90},
                                         PixelRect{extent - 141, extent - 77, 141, 77}}) {
                const int stride = area.width + 3;
                pixels.assign(std::size_t(stride) * area.height, 0);
                drawView(liveWorldLayers(), zoom, area, pixels.data(), stride);
                for (int32_t j = 0; j < area.height; ++j)
                    for (int32_t i = 0; i < area.width; ++i)
                        if (pixels[std::size_t(j) * stride + i] !=
                            plainPixel(zoom, area.x + i, area.y + j))
                            QFAIL(qPrintable(QStringLiteral("zoom %1/%2, pixel (%3, %4)")
                                                 .arg(zoom.pixels)
                                                 .arg(zoom.cells)
                                                 .arg(area.x + i)
                                                 .arg(area.y + j)));
            }
        }
    }

    // A lone carnivore among plants and herbivores, and a lone herbivore
    // among plants, win their pixels at 1/8; an empty block shows the
    // nutrient colour of its first cell. On one cell, at one pixel per cell,
    // the carnivore shows over the herbivore over the plant.
    void theHighestKindWins() {
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 24; ++x)
                testing::addPlant(x, y, 1.0f);
        testing::addHerbivore(3, 3, 1.0f);
        testing::addHerbivore(9, 0, 1.0f);
        testing::addCarnivore(7, 7, 1.0f);
        testing::addHerbivore(7, 7, 1.0f);
        setNutrient(cellIndex(24, 0), 500.0f);
        uint32_t row[4] = {};
        drawView(liveWorldLayers(), {1, 8}, {0, 0, 4, 1}, row, 4);
        QCOMPARE(row[0], pixelOf(kCarnivoreColour));
        QCOMPARE(row[1], pixelOf(kHerbivoreColour));
        QCOMPARE(row[2], pixelOf(kPlantColour));
        QCOMPARE(row[3], pixelOf(Rgb{255, 229, 0}));

        drawView(liveWorldLayers(), kOnePixelPerCell, {7, 7, 1, 1}, row, 1);
        QCOMPARE(row[0], pixelOf(kCarnivoreColour));
        drawView(liveWorldLayers(), kOnePixelPerCell, {3, 3, 1, 1}, row, 1);
        QCOMPARE(row[0], pixelOf(kHerbivoreColour));
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::ViewRenderTest)
#include "view_render_test.moc"
