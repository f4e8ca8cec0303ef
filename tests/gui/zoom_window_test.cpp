// The main window zoomed: F, 1, + and - and Ctrl + wheel, the scroll bars at
// a zoom, spot-sample corners under the pointer, and what a paint shows of a
// frame drawn at a zoom.
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "display/frame_buffers.h"
#include "display/render/overlay_lines.h"
#include "display/world_window.h"
#include "model/model_fixture.h"
#include "reports/model/spot_sample.h"

Q_DECLARE_METATYPE(kesmir::Zoom)

namespace kesmir {

namespace {

void ctrlWheel(QWidget* viewport, QPoint at, int delta) {
    const QPointF global = viewport->mapToGlobal(QPointF(at));
    QWheelEvent wheel(QPointF(at), global, QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
}

constexpr uint32_t pattern(int x, int y) {
    return 0xFF000000u | uint32_t(x & 0xFF) << 8 | uint32_t(y & 0xFF);
}

void publishPattern(FrameBuffers& buffers, const FrameLayout& layout) {
    uint32_t* pixels = buffers.backWorldPixels();
    for (int y = 0; y < layout.valid.height; ++y)
        for (int x = 0; x < layout.valid.width; ++x)
            pixels[std::size_t(y) * FrameBuffers::worldStride() + x] =
                pattern(layout.valid.x + x, layout.valid.y + y);
    buffers.publish(layout, false);
}

}  // namespace

class ZoomWindowTest : public QObject {
    Q_OBJECT

    FrameBuffers* buffers_ = nullptr;
    WorldWindow* window_ = nullptr;
    WorldView lastView_;

    int pos(ScrollAxis axis) const { return window_->scrollState().axis(axis).pos; }
    QPoint position() const { return {pos(ScrollAxis::horizontal), pos(ScrollAxis::vertical)}; }
    QSize client() const { return window_->viewport()->size(); }

  private slots:
    void initTestCase() {
        testing::resetModel();
        buffers_ = new FrameBuffers;
    }
    void cleanupTestCase() { delete buffers_; }

    void init() {
        data.store(false);
        window_ = new WorldWindow(*buffers_);
        window_->viewChangedHook = [this](const WorldView& view) { lastView_ = view; };
        window_->resize(1000, 800);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
        window_->scrollView(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 1000);
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::thumbTrack, 800);
    }
    void cleanup() { delete window_; }

    void fFitsTheWorldAndOneGoesBack() {
        QTest::keyClick(window_, 'f');
        QCOMPARE(window_->zoom(), fittedZoom(client().width(), client().height()));
        QCOMPARE(position(), QPoint(0, 0));
        QCOMPARE(window_->verticalScrollBar()->maximum(), 0);
        QCOMPARE(lastView_.zoom, window_->zoom());
        window_->resize(700, 650);  // it stays fitted
        QCOMPARE(window_->zoom(), fittedZoom(client().width(), client().height()));

        window_->resize(1000, 800);
        QTest::keyClick(window_, '1');
        QCOMPARE(window_->zoom(), kOnePixelPerCell);
        QCOMPARE(position(), QPoint(1000, 800));
        QCOMPARE(window_->horizontalScrollBar()->maximum(), 3501 - client().width());
        QCOMPARE(lastView_.shown, (PixelRect{1000, 800, client().width(), client().height()}));
    }

    void zoomKeysAndCtrlWheelKeepTheCellInPlace() {
        const QPoint pointer(300, 200);
        ctrlWheel(window_->viewport(), pointer, 120);
        QCOMPARE(window_->zoom(), (Zoom{2, 1}));
        QCOMPARE(window_->verticalScrollBar()->maximum(), 7001 - client().height());
        QCOMPARE(cellAt(window_->zoom(), pos(ScrollAxis::horizontal) + 300), 1300);
        QCOMPARE(cellAt(window_->zoom(), pos(ScrollAxis::vertical) + 200), 1000);
        ctrlWheel(window_->viewport(), pointer, -360);  // one level per turn
        ctrlWheel(window_->viewport(), pointer, -120);
        QCOMPARE(window_->zoom(), (Zoom{1, 2}));
        QCOMPARE(cellAt(window_->zoom(), pos(ScrollAxis::horizontal) + 300), 1300);

        // The keys zoom about the middle of the view.
        const QPoint middle(client().width() / 2, client().height() / 2);
        const int cell = cellAt(window_->zoom(), pos(ScrollAxis::horizontal) + middle.x());
        QTest::keyClick(window_, Qt::Key_Plus);
        QCOMPARE(window_->zoom(), kOnePixelPerCell);
        QCOMPARE(pos(ScrollAxis::horizontal) + middle.x(), cell);
        QTest::keyClick(window_, Qt::Key_Minus);
        QTest::keyClick(window_, Qt::Key_Minus);
        QCOMPARE(window_->zoom(), (Zoom{1, 4}));
    }

    void clicksSelectTheCellsUnderThePointer_data() {
        QTest::addColumn<Zoom>("zoom");
        QTest::addColumn<QPoint>("first");
        QTest::addColumn<QPoint>("second");
        QTest::newRow("1/4") << Zoom{1, 4} << QPoint(440, 280) << QPoint(520, 376);
        QTest::newRow("4") << Zoom{4, 1} << QPoint(27, 17) << QPoint(32, 23);
    }

    void clicksSelectTheCellsUnderThePointer() {
        QFETCH(Zoom, zoom);
        QFETCH(QPoint, first);
        QFETCH(QPoint, second);
        window_->resize(400, 300);  // small enough to scroll at 1/4
        window_->zoomAbout(zoom, QPoint(0, 0));
        window_->scrollView(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 100);
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::thumbTrack, 50);
        std::optional<SpotSelection> made;
        window_->selectionCompleteHook = [&](const SpotSelection& s) { made = s; };
        QTest::mouseClick(window_->viewport(), Qt::LeftButton, {}, QPoint(10, 20));
        QTest::mouseClick(window_->viewport(), Qt::LeftButton, {}, QPoint(30, 44));
        QVERIFY(made.has_value());
        UL = vt{made->UL.x, made->UL.y};
        LR = vt{made->LR.x, made->LR.y};
        const CellRect cells = selectedCells(made->hScrollPos, made->vScrollPos, made->zoom);
        QCOMPARE(QPoint(cells.x0, cells.y0), first);
        QCOMPARE(QPoint(cells.x0 + cells.width, cells.y0 + cells.height), second);
    }

    void gEAndPInEitherCase() {
        int charts = 0, evolutions = 0, pictures = 0;
        window_->chartHook = [&] { ++charts; };
        window_->evolutionHook = [&] { ++evolutions; };
        window_->picturesHook = [&] { ++pictures; };
        QTest::keyClick(window_, 'g');
        QTest::keyClick(window_, Qt::Key_G, Qt::ShiftModifier);
        QTest::keyClick(window_, 'e');
        QTest::keyClick(window_, 'p');
        QCOMPARE(charts, 2);
        QCOMPARE(evolutions, 1);
        QCOMPARE(pictures, 1);
    }

    // A frame is shown at its own zoom only, placed by its layout.
    void aPaintShowsTheFrameOfItsZoom() {
        window_->zoomAbout({1, 4}, QPoint(0, 0));
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::toStart);
        publishPattern(*buffers_, {Zoom{1, 4}, 0, 0, {0, 0, 875, 875}});
        QImage shown = window_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb background = window_->palette().window().color().rgb();
        QCOMPARE(uint32_t(shown.pixel(5, 7)), pattern(5, 7));
        QCOMPARE(shown.pixel(880, 7), background);  // past the world

        window_->zoomAbout({2, 1}, QPoint(0, 0));
        window_->scrollView(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 250);
        window_->scrollView(ScrollAxis::vertical, ScrollRequest::thumbTrack, 150);
        shown = window_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.pixel(5, 7), background);  // a frame of another zoom

        publishPattern(*buffers_, {Zoom{2, 1}, 200, 100, {200, 100, 400, 300}});
        shown = window_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(uint32_t(shown.pixel(5, 7)), pattern(255, 157));
        QCOMPARE(shown.pixel(360, 7), background);  // beyond what the frame holds
        buffers_->publish(false);
        buffers_->publish(false);
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::ZoomWindowTest)
#include "zoom_window_test.moc"
