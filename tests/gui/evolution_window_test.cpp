// The Evolution window: the heat map's reduction of a long history to a
// picture's width, the arms-race lines and the heat map following the
// history, and keys handed on to the main window.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineSeries>
#include <QTest>
#include <memory>

#include "display/evolution_window.h"
#include "display/heat_map_view.h"
#include "display/render/heat_map.h"
#include "stats/trait_history.h"

namespace kesmir {

namespace {

const int kPoison = traitFieldIndex(Kind::plant, "poison");

// Sample i at cycle 2 i: 100 plants, all with poison `poison(i)`; 10
// herbivores with resistance 0.
template <class Poison>
void fill(TraitHistory& history, int32_t samples, Poison poison) {
    for (int32_t i = 0; i < samples; ++i) {
        TraitCounts counts;
        counts.cycle = 2 * i;
        counts.organisms = {100, 10, 0};
        for (int f = 0; f < kTraitFieldCount; ++f) {
            const int n = counts.organisms[std::size_t(kTraitFields[f].kind)];
            counts.bins[std::size_t(binOffset(f) + (f == kPoison ? poison(i) : 0))] = uint32_t(n);
        }
        history.add(counts);
    }
}

}  // namespace

class EvolutionWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TraitHistory> history_;

  private slots:
    void init() { history_ = std::make_unique<TraitHistory>(); }

    // 10,000 samples, poison 10 for the first half and 50 after: merged into
    // 1,250 columns and drawn 100 pixels wide, each half keeps its value.
    void aLongHistoryIsReducedToThePicturesWidth() {
        fill(*history_, 10000, [](int32_t i) { return i < 5000 ? 10 : 50; });
        const FieldDistribution d = history_->distributions.field(kPoison);
        QCOMPARE(d.columns.size(), std::size_t(1250));
        const std::vector<double> shares = columnShares(d, Kind::plant, 100);
        QCOMPARE(shares.size(), std::size_t(100 * 64));
        QCOMPARE(shares[10], 1.0);            // pixel column 0, value 10
        QCOMPARE(shares[49 * 64 + 10], 1.0);  // the last column of the first half
        QCOMPARE(shares[50 * 64 + 50], 1.0);  // the first of the second
        QCOMPARE(shares[99 * 64 + 50], 1.0);
        QCOMPARE(shares[99 * 64 + 10], 0.0);

        // Drawn 64 rows high, one row a value, 0 at the bottom.
        std::vector<uint32_t> pixels(100 * 64);
        drawHeatMap(shares, 64, pixels.data(), 100, 64, 100, kPlantColour);
        const uint32_t white = 0xFFFFFFFFu;
        QCOMPARE(pixels[(63 - 10) * 100 + 0], pixelOf({6, 150, 0}));  // all of them: darkest
        QCOMPARE(pixels[(63 - 50) * 100 + 0], white);
        QCOMPARE(pixels[(63 - 50) * 100 + 99], pixelOf({6, 150, 0}));

        // Wider than the columns: each pixel shows the nearest one.
        const std::vector<double> wide = columnShares(d, Kind::plant, 5000);
        QCOMPARE(wide[2499 * 64 + 10], 1.0);
        QCOMPARE(wide[2500 * 64 + 50], 1.0);
    }

    void linesAndHeatMapFollowTheHistory() {
        fill(*history_, 300, [](int32_t i) { return i / 5; });  // poison rises to 59
        EvolutionWindow window(*history_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.refresh();
        QCOMPARE(window.windowTitle(), QStringLiteral("Evolution"));
        const QLineSeries* poison = window.line(0);
        QVERIFY(poison->count() > 0);
        QCOMPARE(poison->at(poison->count() - 1), QPointF(598, (59 + 1) / 65.0));
        QCOMPARE(window.line(1)->at(0).y(), 1 / 65.0);  // resistance 0
        QCOMPARE(window.field(), kPoison);
        const QImage map = window.heatMap()->map();
        QCOMPARE(map.size(), window.heatMap()->mapArea().size());
        // The first cycles hold poison 0 (the bottom row), the last 59.
        QVERIFY(map.pixel(0, map.height() - 1) != 0xFFFFFFFFu);
        QCOMPARE(map.pixel(map.width() - 1, map.height() - 1), 0xFFFFFFFFu);

        fill(*history_, 0, [](int32_t) { return 0; });
        TraitCounts later;
        later.cycle = 1000;
        later.organisms = {1, 1, 1};
        for (int f = 0; f < kTraitFieldCount; ++f)
            later.bins[std::size_t(binOffset(f))] = 1;
        history_->add(later);
        window.refresh();
        QCOMPARE(poison->at(poison->count() - 1), QPointF(1000, 1 / 65.0));

        window.setField(traitFieldIndex(Kind::carnivore, "sight"));
        QVERIFY(window.heatMap()->map() != map);
    }

    // Keys pressed in the window reach its hook, also after a click on the
    // list (which must not keep the focus and swallow them).
    void keysPressedInTheWindowAreHandedOn() {
        fill(*history_, 3, [](int32_t) { return 1; });
        EvolutionWindow window(*history_);
        std::vector<int> keys;
        window.keyHook = [&keys](QKeyEvent* event) { keys.push_back(event->key()); };
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* list = window.findChild<QComboBox*>();
        QTest::mouseClick(list, Qt::LeftButton);
        list->hidePopup();
        for (const int key : {Qt::Key_E, Qt::Key_P, Qt::Key_S, Qt::Key_Down}) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr ? focus : &window, Qt::Key(key));
        }
        QCOMPARE(keys, (std::vector<int>{Qt::Key_E, Qt::Key_P, Qt::Key_S, Qt::Key_Down}));
        QCOMPARE(window.field(), kPoison);  // the keys did not choose another field
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::EvolutionWindowTest)
#include "evolution_window_test.moc"
