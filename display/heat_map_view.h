// The heat map of one counted field over the whole run (see
// display/render/heat_map.h), with the field's mean as a black line over it
// and the values and the first and last cycle beside it.
#pragma once

#include <QImage>
#include <QPolygonF>
#include <QWidget>
#include <vector>

#include "display/render/palette.h"

namespace kesmir {

class HeatMapView : public QWidget {
    Q_OBJECT

  public:
    explicit HeatMapView(QWidget* parent = nullptr);

    // Where the map goes, in this widget's coordinates.
    QRect mapArea() const;

    // The map's pixels (mapArea()'s size) with `values` rows of values, the
    // cycles it spans, and the mean as points (cycle, mean v).
    void setPicture(QImage map, int values, int firstCycle, int lastCycle,
                    std::vector<QPointF> means);

    const QImage& map() const { return map_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage map_;
    int values_ = 0;
    int firstCycle_ = 0;
    int lastCycle_ = 0;
    std::vector<QPointF> means_;
};

}  // namespace kesmir
