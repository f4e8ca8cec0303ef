#include "display/following_window.h"

#include <QKeyEvent>
#include <QScreen>

#include "display/window_placement.h"

namespace kesmir {

FollowingWindow::FollowingWindow(int refreshMilliseconds, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    timer_.setInterval(refreshMilliseconds);
    connect(&timer_, &QTimer::timeout, this, [this] { refresh(); });
}

namespace {

constexpr int kGapBeside = 10;  // pixels between the main window and the one beside it

}  // namespace

void FollowingWindow::showBeside(const QWidget& window, int down) {
    // Until this window is first shown its frame is not known; the main
    // window's stands in for it.
    const QSize frameExtra = window.frameGeometry().size() - window.size();
    const QRect frame =
        placedBeside(window.frameGeometry().translated(0, down), size() + frameExtra,
                     window.screen()->availableGeometry(), kGapBeside);
    resize(frame.size() - frameExtra);
    move(frame.topLeft());
    show();
}

void FollowingWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    timer_.start();
}

void FollowingWindow::hideEvent(QHideEvent* event) {
    timer_.stop();
    QWidget::hideEvent(event);
}

void FollowingWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    refresh();
}

void FollowingWindow::keyPressEvent(QKeyEvent* event) {
    if (!keyHook) return QWidget::keyPressEvent(event);
    event->accept();
    keyHook(event);
}

}  // namespace kesmir
