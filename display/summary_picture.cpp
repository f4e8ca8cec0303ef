#include "display/summary_picture.h"

#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QGraphicsScene>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "display/pictures.h"

namespace kesmir {

namespace {

constexpr int kChartWidth = 720;
constexpr int kChartHeight = 400;
constexpr int kNoteHeight = 30;

QColor colourOf(const SummarySeries& series, int alpha = 255) {
    return QColor(series.colour[0], series.colour[1], series.colour[2], alpha);
}

// The mean as a line over a band from the lowest to the highest.
void addSeries(QChart* chart, const SummarySeries& series, QValueAxis* x, QValueAxis* y,
               double& top) {
    auto* mean = new QLineSeries;
    auto* lowest = new QLineSeries;
    auto* highest = new QLineSeries;
    for (std::size_t i = 0; i < series.cycles.size(); ++i) {
        mean->append(series.cycles[i], series.mean[i]);
        lowest->append(series.cycles[i], series.lowest[i]);
        highest->append(series.cycles[i], series.highest[i]);
        top = std::max(top, series.highest[i]);
    }
    auto* band = new QAreaSeries(highest, lowest);
    band->setPen(Qt::NoPen);
    band->setBrush(colourOf(series, 50));
    QPen pen(colourOf(series));
    pen.setWidthF(1.5);
    if (series.dashed) pen.setStyle(Qt::DashLine);
    mean->setPen(pen);
    mean->setName(QString::fromStdString(series.name));
    chart->addSeries(band);
    chart->addSeries(mean);
    for (QAbstractSeries* s :
         {static_cast<QAbstractSeries*>(band), static_cast<QAbstractSeries*>(mean)}) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    for (QLegendMarker* marker : chart->legend()->markers(band))
        marker->setVisible(false);
}

QChart* chartOf(const QString& title, const std::vector<SummarySeries>& lines,
                const QString& valueTitle, double fixedTop) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    // Each legend entry a piece of its line, so that the dashed trait shows.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("Cycle"));
    x->setLabelFormat(QStringLiteral("%.0f"));
    auto* y = new QValueAxis;
    y->setTitleText(valueTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    double top = 0, last = 0;
    for (const SummarySeries& series : lines) {
        addSeries(chart, series, x, y, top);
        if (!series.cycles.empty()) last = std::max(last, series.cycles.back());
    }
    x->setRange(0, std::max(1.0, last));
    x->applyNiceNumbers();
    y->setRange(0, fixedTop > 0 ? fixedTop : std::max(1.0, top * 1.05));
    if (fixedTop <= 0) {
        y->applyNiceNumbers();
        y->setLabelFormat(QStringLiteral("%.0f"));
    }
    return chart;
}

// Qt's warnings about the session it runs in (no XDG_RUNTIME_DIR, no
// display) mean nothing to a picture drawn without a window.
void onlyCriticalMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "kesmir: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

bool drawSummaryPicture(const SummaryPicture& picture, const std::string& path,
                        std::string& error) {
    // Drawn without a window: the offscreen platform, whatever the display.
    std::unique_ptr<QApplication> application;
    static int argc = 1;
    static char name[] = "kesmir";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(onlyCriticalMessages);
        application = std::make_unique<QApplication>(argc, argv);
    }
    const bool races = std::any_of(picture.panels.begin(), picture.panels.end(),
                                   [](const SummaryPanel& p) { return !p.races.empty(); });
    const int columns = races ? 2 : 1;
    const int rows = std::max<int>(1, int(picture.panels.size()));
    const int noteHeight = picture.note.empty() ? 0 : kNoteHeight;
    QImage image(columns * kChartWidth, noteHeight + rows * kChartHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QGraphicsScene scene;
        for (std::size_t row = 0; row < picture.panels.size(); ++row) {
            const SummaryPanel& panel = picture.panels[row];
            const QString title = QString::fromStdString(panel.title);
            std::vector<QChart*> charts{chartOf(QStringLiteral("Populations: ") + title,
                                                panel.populations, QStringLiteral("Organisms"), 0)};
            if (races)
                charts.push_back(chartOf(QStringLiteral("Arms races: ") + title, panel.races,
                                         QStringLiteral("(v + 1) / 65"), 1.0));
            for (std::size_t column = 0; column < charts.size(); ++column) {
                scene.addItem(charts[column]);
                charts[column]->setGeometry(int(column) * kChartWidth,
                                            noteHeight + int(row) * kChartHeight, kChartWidth,
                                            kChartHeight);
            }
        }
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF area(0, 0, image.width(), image.height());
        scene.setSceneRect(area);
        scene.render(&painter, area, area);
        if (noteHeight > 0)
            painter.drawText(QRectF(0, 0, image.width(), noteHeight), Qt::AlignCenter,
                             QString::fromStdString("Showing " + picture.note));
    }
    const WriteResult result = savePng(image, path);
    if (!result.ok) error = result.error;
    return result.ok;
}

}  // namespace kesmir
