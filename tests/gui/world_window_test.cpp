// The main window: scroll bars, keys, wheel and clicks acting on the view,
// the toggles and hooks the keys drive, and what a paint puts on screen.
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>
#include <vector>

#include "display/frame_buffers.h"
#include "display/render/overlay_lines.h"
#include "display/world_window.h"
#include "model/model_fixture.h"
#include "reports/model/spot_file.h"
#include "sim/checkpoints.h"
#include "sim/run_control.h"
#include "world/counters.h"

namespace kesmir {

namespace {

constexpr uint32_t worldPattern(int x, int y) {
    return 0xFF000000u | uint32_t((x * 7) & 0xFF) << 16 | uint32_t((y * 3) & 0xFF) << 8 |
           uint32_t((x + y) & 0xFF);
}

void showWorldPattern(FrameBuffers& buffers) {
    uint32_t* pixels = buffers.backWorldPixels();
    for (int y = 0; y < FrameBuffers::kWorldImageSide; ++y)
        for (int x = 0; x < FrameBuffers::kWorldImageSide; ++x)
            pixels[std::size_t(y) * FrameBuffers::worldStride() + x] = worldPattern(x, y);
    buffers.backOverlay().fill(QColor(0x12, 0x34, 0x56));
    buffers.publish(true);
}

void sendWheel(QWidget* target, QPoint angleDelta) {
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

}  // namespace

class WorldWindowTest : public QObject {
    Q_OBJECT

  private:
    FrameBuffers* buffers_ = nullptr;
    WorldWindow* window_ = nullptr;
    int quits_ = 0;
    int hints_ = 0;

    int pos(ScrollAxis axis) const { return window_->scrollState().axis(axis).pos; }
    int max(ScrollAxis axis) const { return window_->scrollState().axis(axis).max; }
    QScrollBar* vbar() const { return window_->verticalScrollBar(); }
    QScrollBar* hbar() const { return window_->horizontalScrollBar(); }

  private slots:
    void initTestCase() {
        testing::resetModel();
        buffers_ = new FrameBuffers;
    }
    void cleanupTestCase() { delete buffers_; }

    void init() {
        data.store(true);
        store.store(false);
        startRunControl();
        quits_ = hints_ = 0;
        window_ = new WorldWindow(*buffers_);
        window_->quitHook = [this] { ++quits_; };
        window_->hintsHook = [this] { ++hints_; };
        window_->resize(1000, 800);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
    }
    void cleanup() { delete window_; }

    void titleAndSizeLimits() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("The Kesmir"));
        window_->applyInitialGeometry();
        // The sizes are those of the outer frame.
        const QSize frame = window_->frameGeometry().size() - window_->size();
        QCOMPARE(window_->frameGeometry(), QRect(10, 10, 1200, 1030));
        QCOMPARE(window_->minimumSize() + frame, QSize(300, 300));
        QCOMPARE(window_->maximumSize() + frame, QSize(3500, 3500));
    }

    void theBarsSpanTheWorldPlusOneWithTwentyAndHundredSteps() {
        const QSize client = window_->viewport()->size();
        QCOMPARE(max(ScrollAxis::vertical), 3501 - client.height());
        QCOMPARE(max(ScrollAxis::horizontal), 3501 - client.width());
        QCOMPARE(vbar()->maximum(), 3501 - client.height());
        QCOMPARE(hbar()->maximum(), 3501 - client.width());
        QCOMPARE(vbar()->singleStep(), 20);
        QCOMPARE(vbar()->pageStep(), 100);
        QVERIFY(vbar()->hasTracking());

        vbar()->triggerAction(QAbstractSlider::SliderToMaximum);
        window_->resize(1000, 900);  // taller: the bottom row stays in view
        QCOMPARE(pos(ScrollAxis::vertical), 3501 - window_->viewport()->height());
        QCOMPARE(vbar()->value(), pos(ScrollAxis::vertical));
    }

    void barRequestsGoThroughTheViewsArithmetic() {
        vbar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        vbar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(pos(ScrollAxis::vertical), 120);
        vbar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(pos(ScrollAxis::vertical), max(ScrollAxis::vertical));
        vbar()->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(pos(ScrollAxis::vertical), 0);

        hbar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(pos(ScrollAxis::horizontal), 100);
        hbar()->triggerAction(QAbstractSlider::SliderToMaximum);  // ignored
        QCOMPARE(pos(ScrollAxis::horizontal), 100);
        QCOMPARE(hbar()->value(), 100);
        hbar()->triggerAction(QAbstractSlider::SliderToMinimum);  // ignored
        QCOMPARE(hbar()->value(), 100);
    }

    void theViewFollowsADraggedThumb() {
        vbar()->setSliderDown(true);
        vbar()->setSliderPosition(500);
        QCOMPARE(pos(ScrollAxis::vertical), 500);
        vbar()->setSliderDown(false);
        QCOMPARE(pos(ScrollAxis::vertical), 500);
        QCOMPARE(vbar()->value(), 500);
    }

    void scrollingKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("vertical");  // -1: the maximum
        QTest::newRow("Up") << int(Qt::Key_Up) << 1000 << 900;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 1000 << 900;
        QTest::newRow("Down") << int(Qt::Key_Down) << 1000 << 1100;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 1000 << 1100;
        QTest::newRow("Home") << int(Qt::Key_Home) << 1000 << 0;
        QTest::newRow("End") << int(Qt::Key_End) << 1000 << -1;
        QTest::newRow("Left") << int(Qt::Key_Left) << 900 << 1000;
        QTest::newRow("Right") << int(Qt::Key_Right) << 1100 << 1000;
        QTest::newRow("unbound") << int(Qt::Key_X) << 1000 << 1000;
    }

    void scrollingKeys() {
        QFETCH(int, key);
        QFETCH(int, horizontal);
        QFETCH(int, vertical);
        window_->scrollView(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 1000);
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::thumbTrack, 1000);
        QTest::keyClick(window_, Qt::Key(key));
        if (vertical < 0) vertical = max(ScrollAxis::vertical);
        QCOMPARE(pos(ScrollAxis::horizontal), horizontal);
        QCOMPARE(pos(ScrollAxis::vertical), vertical);
        QCOMPARE(hbar()->value(), horizontal);
        QCOMPARE(vbar()->value(), vertical);
    }

    void theWheelScrollsOneLinePerTurnWhateverItsSize() {
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::thumbTrack, 1000);
        sendWheel(window_->viewport(), QPoint(0, 120));
        QCOMPARE(pos(ScrollAxis::vertical), 980);
        sendWheel(window_->viewport(), QPoint(0, 360));
        QCOMPARE(pos(ScrollAxis::vertical), 960);
        sendWheel(window_->viewport(), QPoint(0, -720));
        QCOMPARE(pos(ScrollAxis::vertical), 980);
        sendWheel(window_->viewport(), QPoint(120, 0));  // sideways: nothing
        QCOMPARE(pos(ScrollAxis::vertical), 980);
        QCOMPARE(pos(ScrollAxis::horizontal), 0);
        // Over a scroll bar the wheel still moves the view by one line.
        sendWheel(vbar(), QPoint(0, -360));
        QCOMPARE(pos(ScrollAxis::vertical), 1000);
        sendWheel(hbar(), QPoint(0, 120));
        QCOMPARE(pos(ScrollAxis::vertical), 980);
        QCOMPARE(pos(ScrollAxis::horizontal), 0);
    }

    void toggleKeysInEitherCase() {
        QTest::keyClick(window_, Qt::Key_D);
        QVERIFY(!data.load());
        QTest::keyClick(window_, 'd');
        QVERIFY(data.load());
        QTest::keyClick(window_, Qt::Key_L, Qt::ShiftModifier);
        QVERIFY(store.load());
        QTest::keyClick(window_, 'l');
        QVERIFY(!store.load());
        QTest::keyClick(window_, 'h');
        QTest::keyClick(window_, Qt::Key_H, Qt::ShiftModifier);
        QCOMPARE(hints_, 2);
        QTest::keyClick(window_, 'q');
        QCOMPARE(quits_, 1);
    }

    // K only asks: the simulation writes the checkpoint at its next boundary.
    void checkpointKeyAsksForOne() {
        checkpointRequested = false;
        QTest::keyClick(window_, 'k');
        QVERIFY(checkpointRequested.exchange(false));
        QTest::keyClick(window_, Qt::Key_K, Qt::ShiftModifier);
        QVERIFY(checkpointRequested.exchange(false));
    }

    void parameterDialogsRunPaused() {
        std::vector<ParameterDialogKind> opened;
        std::vector<bool> pausedDuring;
        window_->parameterDialogHook = [&](ParameterDialogKind which) {
            opened.push_back(which);
            pausedDuring.push_back(simulationPaused());
        };
        for (char key : {'a', 'm', 'M', 'r', 's', 't'})
            QTest::keyClick(window_, key);
        const std::vector<ParameterDialogKind> expected{
            ParameterDialogKind::maturity,   ParameterDialogKind::metabolic,
            ParameterDialogKind::metabolic,  ParameterDialogKind::reproduction,
            ParameterDialogKind::senescence, ParameterDialogKind::satiety};
        QVERIFY(opened == expected);
        QVERIFY(pausedDuring == std::vector<bool>(6, true));
        QVERIFY(!simulationPaused());
    }

    void withoutDialogsTheLetterKeysDoNothing() {
        resetRunControl();  // as before the simulation starts
        for (char key : {'a', 'm', 'r', 's', 't'})
            QTest::keyClick(window_, key);
        QVERIFY(simulationPaused());
        QCOMPARE(quits_ + hints_, 0);
    }

    void nWritesTheNutrientLayer() {
        testing::ScratchDirectory scratch;
        setNutrient(cellIndex(1, 0), 123.5f);
        QTest::keyClick(window_, 'n');
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists("nut.dat"), 120000);
        const std::string head = testing::readFile("nut.dat").substr(0, 22);
        QCOMPARE(head, std::string("250.000000 123.500000 "));
        setNutrient(cellIndex(1, 0), 250.0f);
    }

    void qEndsTheEventLoopWithCodeZero() {
        WorldWindow fresh(*buffers_);
        QTimer::singleShot(0, &fresh, [&fresh] { fresh.quitHook(); });
        QTimer watchdog;
        watchdog.callOnTimeout([] { QCoreApplication::exit(1); });
        watchdog.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void twoLeftClicksCompleteASelectionAndARightClickAbandonsOne() {
        std::vector<SpotSelection> completed;
        window_->selectionCompleteHook = [&](const SpotSelection& s) { completed.push_back(s); };
        window_->scrollView(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 300);
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::thumbTrack, 200);
        QWidget* view = window_->viewport();
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(10, 20));
        QVERIFY(window_->selection().firstClick());
        QTest::mouseClick(view, Qt::RightButton, {}, QPoint(11, 21));
        QVERIFY(!window_->selection().firstClick());
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(300, 40));
        QVERIFY(completed.empty());
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 60));
        QCOMPARE(completed.size(), std::size_t(1));
        QCOMPARE(completed[0].UL, (ClientPoint{300, 40}));
        QCOMPARE(completed[0].LR, (ClientPoint{50, 60}));
        QCOMPARE(completed[0].hScrollPos, 300);
        QCOMPARE(completed[0].vScrollPos, 200);
        QVERIFY(!window_->selection().firstClick());
    }

    void aPaintShowsTheWorldWithTheOverlayXored() {
        showWorldPattern(*buffers_);
        window_->scrollView(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 123);
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::thumbTrack, 45);
        const int width = window_->viewport()->width();

        QImage shown = window_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(uint32_t(shown.pixel(0, 0)), worldPattern(123, 45));
        QCOMPARE(uint32_t(shown.pixel(width - 351, 10)), worldPattern(123 + width - 351, 55));
        const int x = width - 350 + 7;
        QCOMPARE(uint32_t(shown.pixel(x, 10)), worldPattern(123 + x, 55) ^ 0x123456u);
        QCOMPARE(uint32_t(shown.pixel(x, 200)), worldPattern(123 + x, 245));  // below it

        data.store(false);
        shown = window_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(uint32_t(shown.pixel(x, 10)), worldPattern(123 + x, 55));
    }

    void pastTheWorldsEndTheBackgroundShows() {
        showWorldPattern(*buffers_);
        window_->scrollView(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 99999);
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::toEnd);
        data.store(false);
        const QSize client = window_->viewport()->size();
        const QImage shown =
            window_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb background = window_->palette().window().color().rgb();
        QCOMPARE(shown.pixel(client.width() - 1, 5), background);
        QCOMPARE(shown.pixel(5, client.height() - 1), background);
        QCOMPARE(uint32_t(shown.pixel(client.width() - 2, client.height() - 2)),
                 worldPattern(3499, 3499));
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::WorldWindowTest)
#include "world_window_test.moc"
