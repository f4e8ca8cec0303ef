// The zoom arithmetic: content extents, pixel and cell at every level and
// when fitted, the level steps, and the anchor that keeps the cell under the
// pointer in place.
#include <QTest>
#include <vector>

#include "world/zoom.h"

namespace kesmir {

namespace {

// True when content pixel `pixel` shows `cell`: zoomed out, among the cells
// it covers; zoomed in, as the one cell it shows.
bool shows(Zoom zoom, int32_t pixel, int32_t cell) {
    const int32_t first = cellAt(zoom, pixel);
    return first == cell || (first < cell && cell < cellAt(zoom, pixel + 1));
}

std::vector<Zoom> everyZoom() {
    std::vector<Zoom> zooms(kZoomLevels.begin(), kZoomLevels.end());
    zooms.push_back(fittedZoom(1185, 1000));
    zooms.push_back(fittedZoom(300, 300));
    return zooms;
}

}  // namespace

class ZoomTest : public QObject {
    Q_OBJECT

  private slots:
    void extentsAndFits() {
        QCOMPARE(contentExtent({1, 8}), 438);  // the last pixel covers 4 cells
        QCOMPARE(contentExtent(kOnePixelPerCell), 3500);
        QCOMPARE(contentExtent({8, 1}), 28000);
        // The world and the line past it fit the shorter side.
        QCOMPARE(fittedZoom(1185, 1000), (Zoom{999, 3500}));
        QCOMPARE(contentExtent(fittedZoom(1185, 1000)), 999);
        QCOMPARE(fittedZoom(3600, 3600), kOnePixelPerCell);
        QCOMPARE(fittedZoom(0, 0), (Zoom{55, 3500}));  // minimised: at most 64 cells a pixel
    }

    // Every cell is shown by exactly the pixel pixelShowing names, and a
    // pixel shows the cell cellAt names, at every zoom.
    void pixelsAndCellsAgree() {
        for (const Zoom zoom : everyZoom()) {
            const int32_t side = zoom.zoomedOut() ? 1 : zoom.pixels;
            int32_t previous = -1;
            for (int32_t cell = 0; cell < 3500; ++cell) {
                const int32_t pixel = pixelShowing(zoom, cell);
                QVERIFY2(shows(zoom, pixel, cell), qPrintable(QString::number(cell)));
                QVERIFY(!shows(zoom, pixel + side, cell));
                QVERIFY(pixel >= previous && pixel < contentExtent(zoom));
                previous = pixel;
            }
            QVERIFY(cellAt(zoom, contentExtent(zoom) - 1) < 3500);
            QVERIFY(cellAt(zoom, contentExtent(zoom)) >= 3500);
        }
    }

    void stepsGoThroughTheLevels() {
        Zoom zoom = kOnePixelPerCell;
        for (Zoom expected : {Zoom{2, 1}, Zoom{4, 1}, Zoom{8, 1}, Zoom{8, 1}})
            QCOMPARE(zoom = steppedZoom(zoom, 1), expected);
        for (Zoom expected :
             {Zoom{4, 1}, Zoom{2, 1}, Zoom{1, 1}, Zoom{1, 2}, Zoom{1, 4}, Zoom{1, 8}, Zoom{1, 8}})
            QCOMPARE(zoom = steppedZoom(zoom, -1), expected);
        // From a fitted scale (between 1/4 and 1/2) to the levels either side.
        QCOMPARE(steppedZoom(Zoom{999, 3500}, 1), (Zoom{1, 2}));
        QCOMPARE(steppedZoom(Zoom{999, 3500}, -1), (Zoom{1, 4}));
    }

    // Ctrl + wheel: the cell under the pointer is under it after the step,
    // from every zoom to every other, wherever the pointer and the view are.
    void theAnchorCellStaysUnderThePointer() {
        for (const Zoom from : everyZoom())
            for (const Zoom to : everyZoom())
                for (const int32_t position : {0, 37, 211})
                    for (const int32_t anchor : {0, 5, 333, 998}) {
                        const int32_t cell = cellAt(from, position + anchor);
                        if (cell >= 3500) continue;
                        const int32_t after = anchoredPosition(from, to, position, anchor);
                        QVERIFY2(shows(to, after + anchor, cell),
                                 qPrintable(QStringLiteral("%1/%2 -> %3/%4 at %5+%6")
                                                .arg(from.pixels)
                                                .arg(from.cells)
                                                .arg(to.pixels)
                                                .arg(to.cells)
                                                .arg(position)
                                                .arg(anchor)));
                    }
        // Zoomed in, the pointer keeps its place inside the cell: the right
        // half of a cell at 2 stays in its right half at 8.
        QCOMPARE(anchoredPosition({2, 1}, {8, 1}, 0, 21), 10 * 8 + 6 - 21);
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::ZoomTest)
#include "zoom_test.moc"
