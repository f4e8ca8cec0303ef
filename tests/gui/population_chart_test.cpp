// The population chart: the history reduced to the chart's width, the three
// lines and their legend following the run, and the logarithmic axis.
#include <QApplication>
#include <QChart>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QTest>
#include <memory>
#include <vector>

#include "display/population_chart.h"
#include "display/render/history_reduction.h"
#include "display/window_placement.h"
#include "stats/population_history.h"

namespace kesmir {

namespace {

// A run of `cycles` cycles with a plant count that rises and falls, one
// spike at `spike` and no carnivores at the end.
void fill(PopulationHistory& history, int32_t cycles, int32_t spike) {
    for (int32_t c = int32_t(history.size()); c < cycles; ++c)
        history.append(
            {c, 1000 + c % 97 + (c == spike ? 50000 : 0), 500 - c % 13, c + 1 < cycles ? 40 : 0});
}

}  // namespace

class PopulationChartTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PopulationHistory> history_;

  private slots:
    void init() { history_ = std::make_unique<PopulationHistory>(); }

    void aShortHistoryKeepsEveryPoint() {
        fill(*history_, 7, -1);
        const ChartLines lines = reduceHistory(*history_, 7, 10);
        QCOMPARE(lines[0].size(), std::size_t(7));
        QCOMPARE(lines[1][3], (ChartPoint{3, 497}));
        QCOMPARE(lines[2][6], (ChartPoint{6, 0}));
    }

    // 100,000 cycles into 400 columns: at most two points a column (and the
    // first and last cycles), in cycle order, each column's extremes kept
    // (the one-cycle spike among them).
    void aLongHistoryKeepsEachColumnsExtremes() {
        fill(*history_, 100000, 61234);
        const ChartLines lines = reduceHistory(*history_, 100000, 400);
        for (const auto& line : lines) {
            QVERIFY(line.size() <= 802 && line.size() >= 400);
            QCOMPARE(line.front().cycle, 0);
            QCOMPARE(line.back().cycle, 99999);
            for (std::size_t i = 1; i < line.size(); ++i)
                QVERIFY(line[i - 1].cycle < line[i].cycle);
        }
        const auto& plants = lines[0];
        QVERIFY(std::find(plants.begin(), plants.end(),
                          ChartPoint{61234, 1000 + 61234 % 97 + 50000}) != plants.end());
        // Column 10 covers cycles 2500..2749: its lowest and highest plants.
        const auto inColumn = [&](int32_t cycle) { return cycle >= 2500 && cycle < 2750; };
        std::vector<int32_t> counts;
        for (const ChartPoint& p : plants)
            if (inColumn(p.cycle)) counts.push_back(p.count);
        QCOMPARE(counts.size(), std::size_t(2));
        QCOMPARE(std::min(counts[0], counts[1]), 1000);
        QCOMPARE(std::max(counts[0], counts[1]), 1096);
    }

    void theChartFollowsTheRun() {
        fill(*history_, 50, -1);
        PopulationChart chart(*history_);
        QCOMPARE(chart.windowTitle(), QStringLiteral("Populations"));
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QCOMPARE(chart.line(0)->count(), 50);
        QCOMPARE(chart.line(2)->name(), QStringLiteral("Carnivores: 0"));
        QCOMPARE(chart.line(0)->color(), QColor(10, 250, 0));

        // It reads the history again by itself within a second, reduced to
        // its width.
        fill(*history_, 20000, -1);
        QTRY_COMPARE_WITH_TIMEOUT(chart.line(1)->at(chart.line(1)->count() - 1).x(), 19999.0, 1000);
        QVERIFY(chart.line(1)->count() <= 2 * chart.width());
        QCOMPARE(chart.line(1)->name(), QStringLiteral("Herbivores: %1").arg(500 - 19999 % 13));
    }

    // The carnivores' last count is 0: on a logarithmic axis it shows as 1.
    void theCountAxisCanBeLogarithmic() {
        fill(*history_, 30, -1);
        PopulationChart chart(*history_);
        chart.show();
        chart.setLogarithmic(true);
        QVERIFY(qobject_cast<const QLogValueAxis*>(chart.countAxis()) != nullptr);
        QCOMPARE(chart.line(2)->at(29).y(), 1.0);
        chart.setLogarithmic(false);
        QVERIFY(qobject_cast<const QLogValueAxis*>(chart.countAxis()) == nullptr);
        QCOMPARE(chart.line(2)->at(29).y(), 0.0);
    }

    // Beside the main window where there is room, else as far right as the
    // screen allows; never off the screen, and shrunk to a screen too small.
    void opensWhollyOnTheScreen() {
        const QRect screen(1600, 0, 1600, 900);  // the second of two screens
        QCOMPARE(placedBeside(QRect(1610, 10, 300, 500), QSize(640, 480), screen, 10),
                 QRect(1920, 10, 640, 480));
        QCOMPARE(placedBeside(QRect(1610, 10, 1200, 1030), QSize(640, 480), screen, 10),
                 QRect(2560, 10, 640, 480));
        QCOMPARE(placedBeside(QRect(1610, 600, 300, 200), QSize(640, 480), screen, 10),
                 QRect(1920, 420, 640, 480));
        QCOMPARE(placedBeside(QRect(0, 0, 100, 100), QSize(640, 480), QRect(0, 0, 500, 400), 10),
                 QRect(0, 0, 500, 400));

        QWidget window;
        window.show();
        const QRect available = window.screen()->availableGeometry();
        window.setGeometry(available.left() + 10, available.top() + 10, available.width() - 20,
                           available.height() / 2);
        PopulationChart chart(*history_);
        chart.showBeside(window);
        QVERIFY2(available.contains(chart.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(chart.frameGeometry().x())
                                .arg(chart.frameGeometry().y())
                                .arg(chart.frameGeometry().width())
                                .arg(chart.frameGeometry().height())));
        QCOMPARE(chart.frameGeometry().right(), available.right());
    }

    // Keys pressed in the chart window reach its hook, also after a click on
    // the box (which must not keep the focus and swallow them).
    void keysPressedInTheChartAreHandedOn() {
        PopulationChart chart(*history_);
        std::vector<int> keys;
        chart.keyHook = [&keys](QKeyEvent* event) { keys.push_back(event->key()); };
        chart.show();
        chart.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&chart));
        auto* box = chart.findChild<QCheckBox*>();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QVERIFY(chart.logarithmic());
        for (const int key : {Qt::Key_P, Qt::Key_Space, Qt::Key_Left}) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr ? focus : &chart, Qt::Key(key));
        }
        QCOMPARE(keys, (std::vector<int>{Qt::Key_P, Qt::Key_Space, Qt::Key_Left}));
        QVERIFY(chart.logarithmic());
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::PopulationChartTest)
#include "population_chart_test.moc"
