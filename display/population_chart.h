// "Populations": the plants, herbivores and carnivores of every cycle since
// the start as three lines in the world's colours, read from the population
// history (the numbers of "dt.dat") every half second while shown. The count
// axis is linear or logarithmic; the legend gives the latest counts.
#pragma once

#include <QImage>
#include <array>
#include <cstddef>

#include "display/following_window.h"

class QAbstractAxis;
class QChart;
class QChartView;
class QCheckBox;
class QLineSeries;
class QValueAxis;

namespace kesmir {

class PopulationHistory;

class PopulationChart : public FollowingWindow {
    Q_OBJECT

  public:
    static constexpr int kRefreshMilliseconds = 500;

    explicit PopulationChart(const PopulationHistory& history, QWidget* parent = nullptr);

    // Reads the history now and redraws the lines if it grew or the chart
    // changed width.
    void refresh() override;

    bool logarithmic() const;
    void setLogarithmic(bool on);

    // The chart as shown, refreshed first (for its picture).
    QImage picture();

    // Plants, herbivores, carnivores.
    const QLineSeries* line(int kind) const { return lines_[std::size_t(kind)]; }
    const QAbstractAxis* countAxis() const { return countAxis_; }
    const QValueAxis* cycleAxis() const { return cycleAxis_; }

  private:
    void redraw(std::size_t entries, int columns);
    void useCountAxis(bool logarithmic);

    const PopulationHistory& history_;
    QChart* chart_;
    QChartView* view_;
    QCheckBox* logarithmicBox_;
    std::array<QLineSeries*, 3> lines_{};
    QValueAxis* cycleAxis_;
    QAbstractAxis* countAxis_ = nullptr;
    bool logarithmic_ = false;
    std::size_t drawnEntries_ = 0;
    int drawnColumns_ = -1;
};

}  // namespace kesmir
