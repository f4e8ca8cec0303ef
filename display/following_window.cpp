#include "display/following_window.h"

#include <QKeyEvent>

namespace kesmir {

FollowingWindow::FollowingWindow(int refreshMilliseconds, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    timer_.setInterval(refreshMilliseconds);
    connect(&timer_, &QTimer::timeout, this, [this] { refresh(); });
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
