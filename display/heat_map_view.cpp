#include "display/heat_map_view.h"

#include <QPainter>
#include <QPainterPath>

namespace kesmir {

namespace {

constexpr int kLeftMargin = 40;    // the values' labels
constexpr int kBottomMargin = 20;  // the cycles' labels
constexpr int kMargin = 6;

}  // namespace

HeatMapView::HeatMapView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(200, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect HeatMapView::mapArea() const {
    return QRect(kLeftMargin, kMargin, std::max(1, width() - kLeftMargin - kMargin),
                 std::max(1, height() - kMargin - kBottomMargin));
}

void HeatMapView::setPicture(QImage map, int values, int firstCycle, int lastCycle,
                             std::vector<QPointF> means) {
    map_ = std::move(map);
    values_ = values;
    firstCycle_ = firstCycle;
    lastCycle_ = lastCycle;
    means_ = std::move(means);
    update();
}

void HeatMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect area = mapArea();
    if (map_.isNull() || values_ == 0) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Nothing counted yet"));
        return;
    }
    painter.drawImage(area.topLeft(), map_);
    painter.setPen(palette().windowText().color());
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    const auto rightAligned = [&](int y, int value) {
        const QString text = QString::number(value);
        painter.drawText(area.left() - 4 - metrics.horizontalAdvance(text), y, text);
    };
    rightAligned(area.bottom(), 0);
    rightAligned(area.top() + metrics.ascent(), values_ - 1);
    const int labels = area.bottom() + metrics.height();
    painter.drawText(area.left(), labels, QString::number(firstCycle_));
    const QString last = QString::number(lastCycle_);
    painter.drawText(area.right() - metrics.horizontalAdvance(last), labels, last);
    if (means_.size() < 2 || lastCycle_ <= firstCycle_) return;

    // A value v is drawn as the band v .. v + 1 up from the bottom: its mean
    // goes through the middle of the bands.
    const double xScale = double(area.width()) / double(lastCycle_ - firstCycle_);
    const double yScale = double(area.height()) / double(values_);
    QPolygonF line;
    for (const QPointF& p : means_)
        line << QPointF(area.left() + (p.x() - firstCycle_) * xScale,
                        area.bottom() + 1 - (p.y() + 0.5) * yScale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawPolyline(line);
}

}  // namespace kesmir
