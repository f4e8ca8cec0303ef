#include "display/world_window.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <QWindow>

#include "display/frame_buffers.h"
#include "display/hints_dialog.h"
#include "display/render/overlay_lines.h"
#include "files/nutrient_file.h"
#include "reports/model/spot_file.h"
#include "sim/checkpoints.h"
#include "sim/run_control.h"
#include "world/counters.h"

namespace kesmir {

namespace {

ScrollRequest requestFor(int sliderAction) {
    switch (sliderAction) {
        case QAbstractSlider::SliderSingleStepSub:
            return ScrollRequest::lineBack;
        case QAbstractSlider::SliderSingleStepAdd:
            return ScrollRequest::lineForward;
        case QAbstractSlider::SliderPageStepSub:
            return ScrollRequest::pageBack;
        case QAbstractSlider::SliderPageStepAdd:
            return ScrollRequest::pageForward;
        case QAbstractSlider::SliderMove:
            return ScrollRequest::thumbTrack;
        case QAbstractSlider::SliderToMinimum:
            return ScrollRequest::toStart;
        case QAbstractSlider::SliderToMaximum:
            return ScrollRequest::toEnd;
        default:
            return ScrollRequest::finished;
    }
}

void toggle(std::atomic<bool>& flag) {
    flag.store(!flag.load(std::memory_order_acquire), std::memory_order_release);
}

}  // namespace

WorldWindow::WorldWindow(FrameBuffers& buffers, QWidget* parent)
    : QAbstractScrollArea(parent), buffers_(buffers) {
    setWindowTitle(QStringLiteral("The Kesmir"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Every paint covers the whole view itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);

    for (ScrollAxis axis : {ScrollAxis::horizontal, ScrollAxis::vertical}) {
        QScrollBar* b = bar(axis);
        b->setSingleStep(ScrollState::kLineStep);
        b->setPageStep(ScrollState::kPageStep);
        b->setTracking(true);  // the view follows the thumb while dragged
        b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);  // the wheel scrolls the view, wherever it turns
        connect(b, &QAbstractSlider::actionTriggered, this,
                [this, axis](int action) { onBarAction(axis, action); });
        // Anything else that moves a bar is followed like a thumb drag.
        connect(b, &QAbstractSlider::valueChanged, this, [this, axis](int value) {
            if (value != scroll_.axis(axis).pos) scrollView(axis, ScrollRequest::thumbTrack, value);
        });
    }
    syncBars();

    quitHook = [] { QCoreApplication::exit(0); };
    hintsHook = [this] {
        HintsDialog hints(this);
        hints.exec();
    };
}

QScrollBar* WorldWindow::bar(ScrollAxis axis) const {
    return axis == ScrollAxis::horizontal ? horizontalScrollBar() : verticalScrollBar();
}

void WorldWindow::syncBars() {
    for (ScrollAxis axis : {ScrollAxis::vertical, ScrollAxis::horizontal}) {
        QScrollBar* b = bar(axis);
        const QSignalBlocker blocker(b);
        b->setRange(0, scroll_.axis(axis).max);
        b->setValue(scroll_.axis(axis).pos);
    }
}

void WorldWindow::applyInitialGeometry() {
    const QWindow* window = windowHandle();
    const QMargins frame = window != nullptr ? window->frameMargins() : QMargins();
    const QSize frameExtra(frame.left() + frame.right(), frame.top() + frame.bottom());
    setMinimumSize(QSize(300, 300) - frameExtra);
    setMaximumSize(QSize(3500, 3500) - frameExtra);
    resize(QSize(1200, 1030) - frameExtra);
    move(10, 10);
}

void WorldWindow::requestRepaint() {
    if (repaintPending_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            repaintPending_ = false;
            viewport()->update();
        },
        Qt::QueuedConnection);
}

WorldView WorldWindow::view() const {
    return {zoom_,
            {scroll_.axis(ScrollAxis::horizontal).pos, scroll_.axis(ScrollAxis::vertical).pos,
             viewport()->width(), viewport()->height()}};
}

void WorldWindow::viewChanged() {
    if (viewChangedHook) viewChangedHook(view());
}

void WorldWindow::applyZoom(Zoom to, int horizontalPos, int verticalPos) {
    zoom_ = to;
    scroll_.setContentExtent(contentExtent(to));
    scroll_.moveTo(horizontalPos, verticalPos);
    syncBars();
    viewport()->update();
    viewChanged();
}

void WorldWindow::zoomAbout(Zoom to, QPoint anchor) {
    fitted_ = false;
    applyZoom(to, anchoredPosition(zoom_, to, scroll_.axis(ScrollAxis::horizontal).pos, anchor.x()),
              anchoredPosition(zoom_, to, scroll_.axis(ScrollAxis::vertical).pos, anchor.y()));
}

void WorldWindow::stepZoom(int direction, QPoint anchor) {
    zoomAbout(steppedZoom(zoom_, direction), anchor);
}

void WorldWindow::fitWorld() {
    if (!fitted_)
        beforeFit_ = Placement{zoom_, scroll_.axis(ScrollAxis::horizontal).pos,
                               scroll_.axis(ScrollAxis::vertical).pos};
    fitted_ = true;
    applyZoom(fittedZoom(viewport()->width(), viewport()->height()), 0, 0);
}

void WorldWindow::oneToOne() {
    if (fitted_ && beforeFit_ && beforeFit_->zoom == kOnePixelPerCell) {
        fitted_ = false;
        return applyZoom(kOnePixelPerCell, beforeFit_->horizontalPos, beforeFit_->verticalPos);
    }
    zoomAbout(kOnePixelPerCell, middleOfWorldInView());
}

// The middle of the part of the client area that shows the world.
QPoint WorldWindow::middleOfWorldInView() const {
    const int extent = contentExtent(zoom_);
    return {std::min(viewport()->width(), extent - scroll_.axis(ScrollAxis::horizontal).pos) / 2,
            std::min(viewport()->height(), extent - scroll_.axis(ScrollAxis::vertical).pos) / 2};
}

void WorldWindow::scrollView(ScrollAxis axis, ScrollRequest request, int thumb) {
    if (scroll_.request(axis, request, thumb) == 0) return;
    bar(axis)->setValue(scroll_.axis(axis).pos);
    viewChanged();
    // A vertical move shows at once; a horizontal one with the next paint.
    if (axis == ScrollAxis::vertical)
        viewport()->repaint();
    else
        viewport()->update();
}

void WorldWindow::onBarAction(ScrollAxis axis, int action) {
    QScrollBar* b = bar(axis);
    const int thumb = b->sliderPosition();
    // The bar has already moved its slider by its own rule; put it where the
    // view's arithmetic says (the horizontal bar ignores its edge requests).
    const int step = scroll_.request(axis, requestFor(action), thumb);
    b->setSliderPosition(scroll_.axis(axis).pos);
    if (step == 0) return;
    viewChanged();
    if (axis == ScrollAxis::vertical)
        viewport()->repaint();
    else
        viewport()->update();
}

void WorldWindow::scrollContentsBy(int, int) {
    viewport()->update();
}

void WorldWindow::resizeEvent(QResizeEvent*) {
    scroll_.resize(viewport()->width(), viewport()->height());
    if (fitted_) {
        zoom_ = fittedZoom(viewport()->width(), viewport()->height());
        scroll_.setContentExtent(contentExtent(zoom_));
    }
    syncBars();
    viewport()->update();
    viewChanged();
}

void WorldWindow::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int width = viewport()->width();
    const int height = viewport()->height();
    const QPoint origin(scroll_.axis(ScrollAxis::horizontal).pos,
                        scroll_.axis(ScrollAxis::vertical).pos);
    const QRect view(0, 0, width, height);
    const bool showOverlay = kesmir::data.load(std::memory_order_acquire);
    buffers_.paintFront([&](const QImage& worldImage, const FrameLayout& layout,
                            const QImage& overlay) {
        // What the image holds, in client coordinates; past the world's end,
        // and anywhere the image holds nothing yet at this zoom, the window
        // background shows.
        QRect shown;
        if (layout.zoom == zoom_) {
            const PixelRect& valid = layout.valid;
            shown = view.intersected(
                QRect(valid.x, valid.y, valid.width, valid.height).translated(-origin));
        }
        for (const QRect& strip : QRegion(view).subtracted(shown))
            painter.fillRect(strip, palette().window());
        if (!shown.isEmpty())
            painter.drawImage(shown.topLeft(), worldImage,
                              shown.translated(origin - QPoint(layout.originX, layout.originY)));
        if (!showOverlay) return;
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.drawImage(QPoint(width - kOverlayWidth, 0), overlay);
    });
}

void WorldWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();  // no key falls through to the default handling
    if (const auto command = commandForKey(event->key())) runCommand(*command);
}

void WorldWindow::runCommand(const KeyCommand& command) {
    switch (command.command) {
        case Command::scroll:
            return scrollView(command.axis, command.request);
        case Command::toggleOverlay:
            toggle(kesmir::data);
            return viewport()->update();
        case Command::showHints:
            if (hintsHook) hintsHook();
            return;
        case Command::toggleSpotFile:
            return toggle(store);
        case Command::logNutrients:
            return logNutrientsInBackground();
        case Command::quit:
            if (quitHook) quitHook();
            return;
        case Command::parameterDialog:
            return openParameterDialog(command.dialog);
        case Command::checkpoint:
            return checkpointRequested.store(true, std::memory_order_relaxed);
        case Command::fitWorld:
            return fitWorld();
        case Command::oneToOne:
            return oneToOne();
        case Command::zoomIn:
            return stepZoom(1, middleOfWorldInView());
        case Command::zoomOut:
            return stepZoom(-1, middleOfWorldInView());
        case Command::toggleChart:
            if (chartHook) chartHook();
            return;
        case Command::savePictures:
            if (picturesHook) picturesHook();
            return;
        case Command::toggleEvolution:
            if (evolutionHook) evolutionHook();
            return;
    }
}

void WorldWindow::openParameterDialog(ParameterDialogKind which) {
    if (!parameterDialogHook) return;
    const PauseRequest paused;
    parameterDialogHook(which);
}

void WorldWindow::wheelEvent(QWheelEvent* event) {
    event->accept();
    QPoint delta = event->angleDelta();
    if (delta.isNull()) delta = event->pixelDelta();
    // One line (or zoom level) per event, whatever its size; a sideways
    // wheel does nothing.
    if (delta.y() == 0) return;
    if (event->modifiers() & Qt::ControlModifier) {
        const QPoint at = viewport()->mapFromGlobal(event->globalPosition().toPoint());
        return stepZoom(delta.y() > 0 ? 1 : -1, at);
    }
    scrollView(ScrollAxis::vertical,
               delta.y() > 0 ? ScrollRequest::lineBack : ScrollRequest::lineForward);
}

bool WorldWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == horizontalScrollBar() || watched == verticalScrollBar())) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void WorldWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::RightButton) return selection_.rightClick();
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    const auto done =
        selection_.leftClick({at.x(), at.y()}, scroll_.axis(ScrollAxis::horizontal).pos,
                             scroll_.axis(ScrollAxis::vertical).pos);
    if (!done || !selectionCompleteHook) return;
    SpotSelection selection = *done;
    selection.zoom = zoom_;
    selectionCompleteHook(selection);
}

// The window system turns the second of two quick presses close together
// into a double click; for the selection it is a press like any other.
void WorldWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void WorldWindow::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();  // a selection is made by presses alone
}

}  // namespace kesmir
