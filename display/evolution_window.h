// "Evolution": what the trait counts show of the whole run, read from the
// trait history every second while shown. Above, the three arms races,
// each a pair of mean lines on the scale (v + 1) / 65: plant poison against
// herbivore resistance, herbivore camouflage against carnivore sight, plant
// spines against herbivore spine eating. Below, for the kind and field
// chosen in a list, the heat map of its whole distribution over the run,
// with its mean.
#pragma once

#include <QImage>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/following_window.h"

class QChart;
class QChartView;
class QComboBox;
class QLineSeries;
class QValueAxis;

namespace kesmir {

class HeatMapView;
class TraitHistory;
class TraitSamples;

// The means of a few fields over every sample read so far, in arrays of
// their own: samples never change once kept, so each refresh reads only the
// new ones, and the lines are reduced from compact arrays rather than from
// the samples spread over memory.
class MeanColumns {
  public:
    explicit MeanColumns(std::vector<int> fields);

    // Reads the samples up to `count` not read yet (all again if the history
    // was cleared meanwhile).
    void follow(const TraitSamples& samples, std::size_t count);

    std::size_t size() const { return cycles.size(); }

    std::vector<int> fields;
    std::vector<int32_t> cycles;
    std::vector<std::vector<double>> means;  // one array per field
};

class EvolutionWindow : public FollowingWindow {
    Q_OBJECT

  public:
    static constexpr int kLines = 6;  // two for each arms race
    // Every second: a redraw costs a few times the population chart's, and
    // the means move slowly.
    static constexpr int kRefreshMilliseconds = 1000;

    explicit EvolutionWindow(const TraitHistory& history, QWidget* parent = nullptr);

    // Reads the history now and redraws what changed: the samples, the
    // chosen field or the sizes.
    void refresh() override;

    // The field the heat map shows (an index of kTraitFields).
    int field() const;
    void setField(int field);

    // The window as shown, refreshed first (for its picture).
    QImage picture();

    const QLineSeries* line(int i) const { return lines_[std::size_t(i)]; }
    const HeatMapView* heatMap() const { return heatMap_; }

  private:
    void redrawLines(std::size_t samples, int columns);
    void redrawHeatMap(std::size_t samples);

    const TraitHistory& history_;
    QChart* chart_;
    QChartView* view_;
    std::array<QLineSeries*, kLines> lines_{};
    QValueAxis* cycleAxis_;
    QComboBox* fields_;
    HeatMapView* heatMap_;
    MeanColumns lineMeans_;
    MeanColumns mapMeans_{{}};
    std::size_t drawnSamples_ = 0;
    int drawnColumns_ = -1;
    std::size_t mappedSamples_ = 0;
    QSize mappedSize_;
    int mappedField_ = -1;
};

}  // namespace kesmir
