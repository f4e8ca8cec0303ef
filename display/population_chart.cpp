#include "display/population_chart.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "display/render/history_reduction.h"
#include "display/render/palette.h"
#include "stats/population_history.h"

namespace kesmir {

namespace {

constexpr std::array<const char*, 3> kNames{"Plants", "Herbivores", "Carnivores"};
constexpr std::array<Rgb, 3> kColours{kPlantColour, kHerbivoreColour, kCarnivoreColour};

QString legendText(std::size_t kind, qint64 latest) {
    return QStringLiteral("%1: %2").arg(QLatin1String(kNames[kind])).arg(latest);
}

}  // namespace

PopulationChart::PopulationChart(const PopulationHistory& history, QWidget* parent)
    : FollowingWindow(kRefreshMilliseconds, parent), history_(history), chart_(new QChart) {
    setWindowTitle(QStringLiteral("Populations"));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    cycleAxis_ = new QValueAxis;
    cycleAxis_->setTitleText(QStringLiteral("Cycle"));
    cycleAxis_->setLabelFormat(QStringLiteral("%.0f"));
    chart_->addAxis(cycleAxis_, Qt::AlignBottom);
    for (std::size_t kind = 0; kind < lines_.size(); ++kind) {
        auto* line = new QLineSeries;
        const Rgb c = kColours[kind];
        QPen pen(QColor(c.red, c.green, c.blue));
        pen.setWidthF(1.5);
        line->setPen(pen);
        line->setName(legendText(kind, 0));
        chart_->addSeries(line);
        line->attachAxis(cycleAxis_);
        lines_[kind] = line;
    }
    useCountAxis(false);

    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);
    logarithmicBox_ = new QCheckBox(QStringLiteral("Logarithmic count axis"), this);
    // Neither child takes the focus (the view would take the arrow keys, the
    // box the space bar): every key reaches the chart window itself.
    view_->setFocusPolicy(Qt::NoFocus);
    logarithmicBox_->setFocusPolicy(Qt::NoFocus);
    connect(logarithmicBox_, &QCheckBox::toggled, this, [this](bool on) { useCountAxis(on); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addWidget(logarithmicBox_);
    resize(640, 480);
}

bool PopulationChart::logarithmic() const {
    return logarithmic_;
}

void PopulationChart::setLogarithmic(bool on) {
    logarithmicBox_->setChecked(on);
}

void PopulationChart::useCountAxis(bool logarithmic) {
    logarithmic_ = logarithmic;
    for (QLineSeries* line : lines_)
        line->clear();  // a logarithmic axis must never see a count of 0
    if (countAxis_ != nullptr) {
        chart_->removeAxis(countAxis_);
        delete countAxis_;
    }
    if (logarithmic) {
        auto* axis = new QLogValueAxis;
        axis->setBase(10);
        axis->setLabelFormat(QStringLiteral("%.0f"));
        countAxis_ = axis;
    } else {
        auto* axis = new QValueAxis;
        axis->setLabelFormat(QStringLiteral("%.0f"));
        countAxis_ = axis;
    }
    countAxis_->setTitleText(QStringLiteral("Count"));
    chart_->addAxis(countAxis_, Qt::AlignLeft);
    for (QLineSeries* line : lines_)
        line->attachAxis(countAxis_);
    drawnColumns_ = -1;  // the points change: a logarithmic axis shows 0 as 1
    refresh();
}

void PopulationChart::refresh() {
    const std::size_t entries = history_.size();
    const int columns = std::max(1, int(chart_->plotArea().width()));
    if (entries == drawnEntries_ && columns == drawnColumns_) return;
    redraw(entries, columns);
}

void PopulationChart::redraw(std::size_t entries, int columns) {
    drawnEntries_ = entries;
    drawnColumns_ = columns;
    const ChartLines reduced = reduceHistory(history_, entries, columns);
    const double lowest = logarithmic() ? 1.0 : 0.0;
    double highest = 1;
    for (std::size_t kind = 0; kind < lines_.size(); ++kind) {
        QList<QPointF> points;
        points.reserve(qsizetype(reduced[kind].size()));
        for (const ChartPoint& p : reduced[kind]) {
            points.append(QPointF(p.cycle, std::max(lowest, double(p.count))));
            highest = std::max(highest, double(p.count));
        }
        lines_[kind]->replace(points);
        const qint64 latest = entries == 0 ? 0 : history_[entries - 1].*kChartedCounts[kind];
        lines_[kind]->setName(legendText(kind, latest));
    }
    const int first = entries == 0 ? 0 : history_[0].cycle;
    const int last = entries == 0 ? 0 : history_[entries - 1].cycle;
    // The cycles end at the latest one; the counts get round ticks.
    cycleAxis_->setRange(first, std::max(last, first + 1));
    countAxis_->setRange(lowest, logarithmic() ? highest * 2 : highest * 1.05);
    if (auto* linear = qobject_cast<QValueAxis*>(countAxis_)) linear->applyNiceNumbers();
}

QImage PopulationChart::picture() {
    refresh();
    return view_->grab().toImage();
}

}  // namespace kesmir
