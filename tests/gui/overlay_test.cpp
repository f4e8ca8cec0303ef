// The population overlay: its lines, its picture, and when the display
// thread redraws it.
#include <QPainter>
#include <QTest>
#include <atomic>

#include "display/display_thread.h"
#include "display/frame_buffers.h"
#include "display/overlay_painter.h"
#include "display/render/overlay_lines.h"
#include "display/render/palette.h"
#include "model/model_fixture.h"
#include "sim/run_control.h"

namespace kesmir {

namespace {

// Read as the test program loads, before any test touches it.
const bool kShownAtLoad = data.load();

// True when any pixel of the band of rows [top, top + height) is not black.
bool bandHasInk(const QImage& image, int top, int height) {
    for (int y = top; y < top + height; ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) != 0) return true;
    return false;
}

QImage frontOverlay(FrameBuffers& buffers) {
    QImage copy;
    buffers.paintFront([&](const QImage&, const QImage& overlay) { copy = overlay.copy(); });
    return copy;
}

}  // namespace

class OverlayTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { testing::resetModel(); }

    void shownAtStart() { QVERIFY(kShownAtLoad); }

    void linesAndTheirPlaces() {
        const auto lines = overlayLines({50000, 230000, 1234567, 42, false});
        QCOMPARE(lines.size(), std::size_t(4));
        QCOMPARE(lines[0].top, 22);
        QCOMPARE(lines[0].text, std::string("Carnivores:   50000"));
        QCOMPARE(lines[1].top, 54);
        QCOMPARE(lines[1].text, std::string("Herbivores:  230000"));
        QCOMPARE(lines[2].top, 86);
        QCOMPARE(lines[2].text, std::string("Plants:     1234567"));  // a full field
        QCOMPARE(lines[3].top, 118);
        QCOMPARE(lines[3].text, std::string("Cycle:           42"));
    }

    void pausedAddsALineAndWideCountsWidenTheField() {
        const auto lines = overlayLines({0, 0, 12345678, 0, true});
        QCOMPARE(lines.size(), std::size_t(5));
        QCOMPARE(lines[2].text, std::string("Plants:     12345678"));
        QCOMPARE(lines[4].top, 150);
        QCOMPARE(lines[4].text, std::string("PAUSED"));
    }

    void theStateComesFromTheCountersAndThePauseFlag() {
        Ppop = 11;
        Hpop = 22;
        Cpop = 33;
        kk = 44;
        startRunControl();
        {
            const PauseRequest paused;
            OverlayState state = currentOverlayState();
            QCOMPARE(state.plants, 11);
            QCOMPARE(state.herbivores, 22);
            QCOMPARE(state.carnivores, 33);
            QCOMPARE(state.cycle, 44);
            QVERIFY(state.paused);
        }
        QVERIFY(!currentOverlayState().paused);
    }

    void thePictureIsLightTextOnBlack() {
        QImage overlay(kOverlayWidth, kOverlayHeight, QImage::Format_RGB32);
        overlay.fill(Qt::white);
        displayData(overlay, overlayFont(96), {1, 2, 3, 4, false});
        QVERIFY(bandHasInk(overlay, 22, 32));
        QVERIFY(bandHasInk(overlay, 118, 32));
        QVERIFY(!bandHasInk(overlay, 0, 20));             // above the first line
        QVERIFY(!bandHasInk(overlay, 150, 50));           // no PAUSED
        QCOMPARE(overlay.pixel(5, 100) & 0xFFFFFFu, 0u);  // left of the text
        // Some pixel carries the text colour itself.
        bool textColour = false;
        for (int y = 22; y < 150 && !textColour; ++y)
            for (int x = 0; x < kOverlayWidth && !textColour; ++x)
                textColour = overlay.pixel(x, y) == pixelOf(kOverlayText);
        QVERIFY(textColour);

        displayData(overlay, overlayFont(96), {1, 2, 3, 4, true});
        QVERIFY(bandHasInk(overlay, 150, 32));
    }

    void theFontIsFourteenPointsLiberationMono() {
        const QFont font = overlayFont(96);
        QCOMPARE(font.family(), QStringLiteral("Liberation Mono"));
        QCOMPARE(font.pixelSize(), 19);  // 14 points at 96 dots per inch
        QCOMPARE(font.weight(), QFont::Weight(600));
        QCOMPARE(overlayFont(120).pixelSize(), 23);
    }

    void theOverlayIsRedrawnOnlyWhileShown() {
        initPalette();
        FrameBuffers buffers;
        DisplayThread display(buffers, overlayFont(96), [] {});
        data.store(true);
        resetRunControl();  // paused until the simulation starts
        display.drawOnce();
        QVERIFY(bandHasInk(frontOverlay(buffers), 150, 32));  // PAUSED

        data.store(false);
        startRunControl();
        display.drawOnce();
        display.drawOnce();
        QVERIFY(bandHasInk(frontOverlay(buffers), 150, 32));  // kept its last picture

        data.store(true);
        display.drawOnce();
        QVERIFY(!bandHasInk(frontOverlay(buffers), 150, 32));
    }

    void eachPassPublishesANewWorldPicture() {
        initPalette();
        FrameBuffers buffers;
        DisplayThread display(buffers, overlayFont(96), [] {});
        testing::addCarnivore(3, 4, 1.0f);
        display.drawOnce();
        QRgb shown = 0;
        buffers.paintFront([&](const QImage& world, const QImage&) { shown = world.pixel(3, 4); });
        QCOMPARE(uint32_t(shown), pixelOf(kCarnivoreColour));

        E.carnivore.clear(cellIndex(3, 4));  // the carnivore is gone
        Cpop = 0;
        display.drawOnce();
        buffers.paintFront([&](const QImage& world, const QImage&) { shown = world.pixel(3, 4); });
        QCOMPARE(uint32_t(shown), pixelOf(Rgb{255, 216, 0}));
    }

    // Painting the front images while the thread draws the back ones, as the
    // window does (and clean under ThreadSanitizer).
    void theThreadDrawsUntilStopped() {
        FrameBuffers buffers;
        std::atomic<int> repaints{0};
        delay = 0;
        testing::addPlant(1, 1, 1.0f);
        DisplayThread display(buffers, overlayFont(96), [&] { ++repaints; });
        display.start();
        QImage screen(400, 300, QImage::Format_RGB32);
        for (int paints = 0; paints < 20 || repaints < 3; ++paints) {
            data.store(paints % 2 == 0);
            buffers.paintFront([&](const QImage& world, const QImage& overlay) {
                QPainter painter(&screen);
                painter.drawImage(QPoint(0, 0), world, QRect(0, 0, 400, 300));
                painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
                painter.drawImage(QPoint(50, 0), overlay);
            });
            QTest::qWait(5);
        }
        display.stop();
        QCOMPARE(uint32_t(screen.pixel(1, 1)), pixelOf(kPlantColour));
        const int stopped = repaints;
        QTest::qWait(50);
        QCOMPARE(int(repaints), stopped);
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::OverlayTest)
#include "overlay_test.moc"
#include "sim/run_control.h"
