// "Choose a Report" at its default size and font: every field of every line
// of every report lies inside its line and the dialog, and the Direction
// report's heads stand over the numbers of their columns.
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

#include "model/model_fixture.h"
#include "reports/gui/report_dialog.h"
#include "reports/gui/report_line.h"
#include "reports/model/spot_sample.h"

namespace kesmir::testing {

namespace {

// Every field drawn inside its line, every line inside the dialog and every
// report line clear of the "Report" frame's edge.
void expectNothingCutOff(const ReportDialog& dialog, const char* report) {
    const QRect frame = dialog.findChild<QGroupBox*>()->geometry();
    for (int id = 3001; id <= 3016; ++id) {
        const ReportLine& line = dialog.line(id);
        QVERIFY2(line.geometry().right() < dialog.width(), report);
        if (id >= 3004) QVERIFY2(line.geometry().right() < frame.right(), report);
        for (const QRect& box : line.fieldBoxes()) {
            QVERIFY2(box.left() >= 0 && box.right() < line.width(),
                     qPrintable(QString("%1, line %2 is cut off: \"%3\"")
                                    .arg(report)
                                    .arg(id)
                                    .arg(line.text())));
        }
    }
}

void expectHeadsOverColumns(const ReportLine& heads, const ReportLine& numbers) {
    const std::vector<QRect> headBoxes = heads.fieldBoxes();
    const std::vector<QRect> numberBoxes = numbers.fieldBoxes();
    QCOMPARE(headBoxes.size(), std::size_t(8));
    QCOMPARE(numberBoxes.size(), std::size_t(8));
    for (std::size_t i = 0; i < 8; ++i) {
        QVERIFY2(std::abs(headBoxes[i].center().x() - numberBoxes[i].center().x()) <= 1,
                 qPrintable(heads.text() + " over " + numbers.text()));
    }
}

}  // namespace

class ReportLayoutTest : public QObject {
    Q_OBJECT

  private:
    void checkEveryReport() {
        ReportDialog dialog(2147483647);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int id = 201; id <= 206; ++id) {
            auto* button = dialog.findChild<QRadioButton*>(QString("control%1").arg(id));
            QTest::mouseClick(button, Qt::LeftButton);
            expectNothingCutOff(dialog, qPrintable(button->text()));
        }
    }

  private slots:
    void init() {
        resetModel();
        Psamp = Hsamp = Csamp = 0;
    }

    // Nothing sampled: nan, and the extremes' start values, the widest of
    // the Compare and Energy numbers.
    void anEmptySample() { checkEveryReport(); }

    void aSampleOfEachKind() {
        for (int i = 0; i < 3; ++i) {
            SP[i] = plant{};
            SP[i].energy = -1234.5f;
            SP[i].age = 12;
            SH[i] = animal{};
            SH[i].energy = 99999.0f;
            SH[i].chrom4 = 011111111u * (i + 1);
            SC[i] = SH[i];
        }
        Psamp = Hsamp = Csamp = 3;
        checkEveryReport();

        ReportDialog dialog(0);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QRadioButton*>("control202"), Qt::LeftButton);
        expectHeadsOverColumns(dialog.line(3004), dialog.line(3005));
        expectHeadsOverColumns(dialog.line(3006), dialog.line(3007));
    }

    // Histogram bins of a million: the dialog widens to show them.
    void aSampleAsLargeAsItGets() {
        for (int i = 0; i < kSampleCapacity; ++i) {
            SP[i] = plant{};
            SH[i] = animal{};
            SC[i] = animal{};
        }
        Psamp = Hsamp = Csamp = kSampleCapacity;
        checkEveryReport();
    }
};

}  // namespace kesmir::testing

QTEST_MAIN(kesmir::testing::ReportLayoutTest)
#include "report_layout_test.moc"
