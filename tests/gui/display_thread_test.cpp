// When the display thread draws: only when the world, the view or the shown
// overlay changed, never while paused and still, at most about 30 frames a
// second.
#include <QTest>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "display/display_thread.h"
#include "display/frame_buffers.h"
#include "display/frame_plan.h"
#include "display/overlay_painter.h"
#include "display/render/overlay_lines.h"
#include "model/model_fixture.h"
#include "sim/run_control.h"
#include "sim/world_version.h"

namespace kesmir {

class DisplayThreadTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        testing::resetModel();
        delay = 0;
    }

    void aFrameOnlyWhenSomethingIsNew() {
        FrameBuffers buffers;
        DisplayThread display(buffers, overlayFont(96), [] {});
        display.showView({Zoom{1, 8}, {0, 0, 300, 300}});  // small frames
        data.store(true);
        startRunControl();
        std::optional<PauseRequest> paused(std::in_place);
        display.start();
        QTRY_COMPARE(display.frames(), int64_t(1));
        // Paused and still: nothing.
        QTest::qWait(300);
        QCOMPARE(display.frames(), int64_t(1));

        noteWorldChanged();
        QTRY_COMPARE(display.frames(), int64_t(2));
        display.showView({Zoom{1, 4}, {0, 0, 500, 400}});
        QTRY_COMPARE(display.frames(), int64_t(3));
        paused.reset();  // the overlay's PAUSED goes
        QTRY_COMPARE(display.frames(), int64_t(4));
        data.store(false);
        QTRY_COMPARE(display.frames(), int64_t(5));
        paused.emplace();  // the overlay is hidden: nothing to show
        Ppop = 12345;      // likewise
        QTest::qWait(200);
        QCOMPARE(display.frames(), int64_t(5));
        display.stop();
    }

    // What a frame draws: everything once per zoom (a renewal, which does not
    // space out the next frames), then the view and a line around it;
    // zoomed in, that much at the image's corner.
    void framePlans() {
        const WorldView view{kOnePixelPerCell, {1000, 500, 800, 600}};
        FrameLayout back;
        back.drawn = false;
        FramePlan plan = planFrame(view, back);
        QVERIFY(plan.renewal);
        QCOMPARE(plan.area, (PixelRect{0, 0, 3500, 3500}));
        plan = planFrame(view, plan.layout);
        QVERIFY(!plan.renewal);
        QCOMPARE(plan.area, (PixelRect{980, 480, 840, 640}));
        QCOMPARE(planFrame({Zoom{1, 4}, {0, 0, 800, 600}}, plan.layout).area,
                 (PixelRect{0, 0, 875, 875}));

        plan = planFrame({Zoom{4, 1}, {9000, 100, 800, 600}}, plan.layout);
        QCOMPARE(plan.area, (PixelRect{8980, 80, 840, 640}));
        QCOMPARE(plan.layout.originX, 8980);
        QCOMPARE(plan.layout.valid, plan.area);
    }

    void atMostThirtyFramesASecond() {
        FrameBuffers buffers;
        DisplayThread display(buffers, overlayFont(96), [] {});
        // Small frames, so that even a slow build draws several a second;
        // both images drawn once before the count starts.
        display.showView({Zoom{1, 8}, {0, 0, 300, 300}});
        display.start();
        QTRY_COMPARE(display.frames(), int64_t(1));
        noteWorldChanged();
        QTRY_COMPARE(display.frames(), int64_t(2));
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < end) {
            noteWorldChanged();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const int64_t frames = display.frames() - 2;
        display.stop();
        QVERIFY2(frames >= 3 && frames <= 31, qPrintable(QString::number(frames)));
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::DisplayThreadTest)
#include "display_thread_test.moc"
