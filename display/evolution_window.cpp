#include "display/evolution_window.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "display/heat_map_view.h"
#include "display/render/heat_map.h"
#include "display/render/line_reduction.h"
#include "display/render/palette.h"
#include "stats/trait_history.h"

namespace kesmir {

namespace {

constexpr std::array<Rgb, kKinds> kKindColours{kPlantColour, kHerbivoreColour, kCarnivoreColour};
constexpr std::array<const char*, kKinds> kKindTitles{"Plant", "Herbivore", "Carnivore"};

// Each arms race its own dash; the kinds' colours tell its two lines apart.
constexpr std::array<Qt::PenStyle, kArmsRaces.size()> kRaceStyles{Qt::SolidLine, Qt::DashLine,
                                                                  Qt::DotLine};

static_assert(EvolutionWindow::kLines == 2 * int(kArmsRaces.size()));

// Line i: race i / 2, its defence (even) or the trait that overcomes it (odd).
int lineField(int i) {
    const ArmsRace& race = kArmsRaces[std::size_t(i / 2)];
    return i % 2 == 0 ? race.defence : race.counter;
}

QString fieldTitle(int field) {
    const TraitField& f = kTraitFields[std::size_t(field)];
    return QStringLiteral("%1 %2").arg(
        QLatin1String(kKindTitles[std::size_t(f.kind)]),
        QString::fromLatin1(f.trait).replace(QLatin1Char('_'), QLatin1Char(' ')));
}

QColor colourOf(Kind kind) {
    const Rgb c = kKindColours[std::size_t(kind)];
    return QColor(c.red, c.green, c.blue);
}

std::vector<int> lineFields() {
    std::vector<int> fields;
    for (int i = 0; i < EvolutionWindow::kLines; ++i)
        fields.push_back(lineField(i));
    return fields;
}

// The kept points of one array of means, NaN (an empty kind) left out.
QList<QPointF> reducedLine(const MeanColumns& m, std::size_t k, int columns,
                           double (*scale)(double)) {
    const std::vector<double>& means = m.means[k];
    QList<QPointF> points;
    for (const std::size_t at :
         keptEntries(m.size(), columns, [&](std::size_t i) { return means[i]; }))
        if (!std::isnan(means[at])) points.append(QPointF(m.cycles[at], scale(means[at])));
    return points;
}

double asIs(double mean) {
    return mean;
}

}  // namespace

MeanColumns::MeanColumns(std::vector<int> f) : fields(std::move(f)), means(fields.size()) {}

void MeanColumns::follow(const TraitSamples& samples, std::size_t count) {
    if (count < cycles.size()) {
        cycles.clear();
        for (auto& m : means)
            m.clear();
    }
    for (std::size_t i = cycles.size(); i < count; ++i) {
        const TraitSample& sample = samples[i];
        cycles.push_back(sample.cycle);
        for (std::size_t k = 0; k < fields.size(); ++k)
            means[k].push_back(sample.mean(fields[k]));
    }
}

EvolutionWindow::EvolutionWindow(const TraitHistory& history, QWidget* parent)
    : FollowingWindow(kRefreshMilliseconds, parent),
      history_(history),
      chart_(new QChart),
      lineMeans_(lineFields()) {
    setWindowTitle(QStringLiteral("Evolution"));
    chart_->setTitle(QStringLiteral("Arms races: mean (v + 1) / 65 of the whole population"));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    // Each legend entry a piece of its line: the kinds' colours repeat, the
    // dashes tell the races apart.
    chart_->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    cycleAxis_ = new QValueAxis;
    cycleAxis_->setTitleText(QStringLiteral("Cycle"));
    cycleAxis_->setLabelFormat(QStringLiteral("%.0f"));
    chart_->addAxis(cycleAxis_, Qt::AlignBottom);
    auto* shareAxis = new QValueAxis;
    shareAxis->setRange(0, 1);
    shareAxis->setTitleText(QStringLiteral("(v + 1) / 65"));
    chart_->addAxis(shareAxis, Qt::AlignLeft);
    for (int i = 0; i < kLines; ++i) {
        auto* line = new QLineSeries;
        const int field = lineField(i);
        QPen pen(colourOf(kTraitFields[std::size_t(field)].kind));
        pen.setWidthF(1.5);
        pen.setStyle(kRaceStyles[std::size_t(i / 2)]);
        line->setPen(pen);
        line->setName(fieldTitle(field));
        chart_->addSeries(line);
        line->attachAxis(cycleAxis_);
        line->attachAxis(shareAxis);
        lines_[std::size_t(i)] = line;
    }
    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);

    fields_ = new QComboBox(this);
    for (int f = 0; f < kTraitFieldCount; ++f)
        fields_->addItem(fieldTitle(f));
    fields_->setCurrentIndex(traitFieldIndex(Kind::plant, "poison"));
    heatMap_ = new HeatMapView(this);
    // No child takes the focus: every key reaches the window itself (the
    // list still opens with a click). The window holds the focus, so that it
    // gets it back when the list's popup closes.
    view_->setFocusPolicy(Qt::NoFocus);
    fields_->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    connect(fields_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(
        new QLabel(QStringLiteral("Share of the kind holding each value v, over the run:"), this));
    chooser->addWidget(fields_);
    chooser->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 3);
    layout->addLayout(chooser);
    layout->addWidget(heatMap_, 2);
    resize(1040, 760);  // wide enough for the legend in one row
}

int EvolutionWindow::field() const {
    return fields_->currentIndex();
}

void EvolutionWindow::setField(int field) {
    fields_->setCurrentIndex(field);
}

void EvolutionWindow::refresh() {
    const std::size_t samples = history_.samples.size();
    // Means change slowly: a run of samples for every two pixels keeps the
    // lines smooth at half the points, which Qt Charts strokes at every redraw.
    const int columns = std::max(1, int(chart_->plotArea().width()) / 2);
    if (samples != drawnSamples_ || columns != drawnColumns_) redrawLines(samples, columns);
    if (samples != mappedSamples_ || heatMap_->mapArea().size() != mappedSize_ ||
        field() != mappedField_)
        redrawHeatMap(samples);
}

void EvolutionWindow::redrawLines(std::size_t samples, int columns) {
    drawnSamples_ = samples;
    drawnColumns_ = columns;
    lineMeans_.follow(history_.samples, samples);
    for (int i = 0; i < kLines; ++i)
        lines_[std::size_t(i)]->replace(
            reducedLine(lineMeans_, std::size_t(i), columns, armsRaceShare));
    const int first = samples == 0 ? 0 : lineMeans_.cycles.front();
    const int last = samples == 0 ? 0 : lineMeans_.cycles.back();
    cycleAxis_->setRange(first, std::max(last, first + 1));
}

void EvolutionWindow::redrawHeatMap(std::size_t samples) {
    mappedSamples_ = samples;
    mappedSize_ = heatMap_->mapArea().size();
    if (field() != mappedField_) mapMeans_ = MeanColumns({field()});
    mappedField_ = field();
    const FieldDistribution d = history_.distributions.field(mappedField_);
    const Kind kind = kTraitFields[std::size_t(mappedField_)].kind;
    if (d.columns.empty()) return heatMap_->setPicture(QImage(), 0, 0, 0, {});
    QImage map(mappedSize_, QImage::Format_RGB32);
    drawHeatMap(columnShares(d, kind, map.width()), d.values,
                reinterpret_cast<uint32_t*>(map.bits()), map.width(), map.height(),
                int(map.bytesPerLine() / 4), kKindColours[std::size_t(kind)]);
    mapMeans_.follow(history_.samples, samples);
    const QList<QPointF> means = reducedLine(mapMeans_, 0, map.width(), asIs);
    heatMap_->setPicture(std::move(map), d.values, d.columns.front().firstCycle,
                         d.columns.back().lastCycle,
                         std::vector<QPointF>(means.begin(), means.end()));
}

QImage EvolutionWindow::picture() {
    refresh();
    return grab().toImage();
}

}  // namespace kesmir
