// "Choose a Report" driven as a user would: by its buttons and keys, and
// opened by two clicks' worth of spot sample.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>

#include "model/model_fixture.h"
#include "reports/gui/report_dialog.h"
#include "reports/gui/spot_sample_dialog.h"
#include "reports/model/spot_file.h"
#include "reports/model/spot_sample.h"

namespace kesmir::testing {

namespace {

QRadioButton* reportButton(const QDialog& dialog, int id) {
    return dialog.findChild<QRadioButton*>(QString("control%1").arg(id));
}

bool reportLinesEmpty(const ReportDialog& dialog, int first, int last) {
    for (int id = first; id <= last; ++id)
        if (!dialog.lineText(id).isEmpty()) return false;
    return true;
}

// Runs `act` on the modal dialog once it is showing.
void whenModalShows(std::function<void(ReportDialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<ReportDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        act(*dialog);
    });
}

}  // namespace

class ReportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        resetModel();
        Psamp = Hsamp = Csamp = 0;
    }

    void opensWithTheHeaderAndTheEnergyReport() {
        SP[0] = plant{};
        SP[0].energy = 80.0f;
        Psamp = 1;
        Hsamp = 2;
        ReportDialog dialog(77);
        QCOMPARE(dialog.windowTitle(), QString("Choose a Report"));
        QCOMPARE(dialog.lineText(3001), QString("   On cycle #77 you sampled:"));
        QCOMPARE(dialog.lineText(3002), QString("1 plants, 2 herbivores, and 0 carnivores"));
        QVERIFY(dialog.lineText(3003).isEmpty());
        QVERIFY(reportButton(dialog, 201)->isChecked());
        QCOMPARE(dialog.lineText(3008), QString("The average energy of plants is  80.0000"));
        QVERIFY(reportLinesEmpty(dialog, 3004, 3005));
        QVERIFY(reportLinesEmpty(dialog, 3012, 3016));
        const QString labels[] = {"Energy",     "Direction", "Compare",
                                  "Absorption", "Spine War", "Markers"};
        for (int id = 201; id <= 206; ++id)
            QCOMPARE(reportButton(dialog, id)->text(), labels[id - 201]);
    }

    void eachButtonShowsItsReportAndClearsTheLast() {
        SH[0] = animal{};
        SH[0].chrom4 = 011111111;
        Hsamp = 1;
        ReportDialog dialog(0);
        dialog.show();
        QTest::mouseClick(reportButton(dialog, 205), Qt::LeftButton);
        QCOMPARE(dialog.lineText(3015), QString("View the spine eating ability histogram"));
        QCOMPARE(dialog.lineText(3016), QString("  1   0   0   0   0   0   0   0   0   0"));

        QTest::mouseClick(reportButton(dialog, 206), Qt::LeftButton);
        QVERIFY(reportButton(dialog, 206)->isChecked());
        QVERIFY(!reportButton(dialog, 205)->isChecked());
        QCOMPARE(dialog.lineText(3004), QString("Scan the GM chromosome for markers"));
        QVERIFY(reportLinesEmpty(dialog, 3013, 3016));

        QTest::mouseClick(reportButton(dialog, 202), Qt::LeftButton);
        const QString row = dialog.lineText(3005);
        QCOMPARE(row, QString(" 0.125  0.125  0.125  0.125  0.125  0.125  0.125  0.125"));
        QTest::mouseClick(reportButton(dialog, 202), Qt::LeftButton);
        QCOMPARE(dialog.lineText(3005), row);
        QVERIFY(dialog.lineText(3007).isEmpty());  // no carnivore sampled

        QTest::mouseClick(reportButton(dialog, 203), Qt::LeftButton);
        QCOMPARE(dialog.lineText(3005),
                 QString("Herbivore energy minimum   0.00  maximum     0.00"));
        QTest::mouseClick(reportButton(dialog, 204), Qt::LeftButton);
        QCOMPARE(dialog.lineText(3008),
                 QString("View the herbivore energy absorption coefficient histogram"));
        QTest::mouseClick(reportButton(dialog, 201), Qt::LeftButton);
        QVERIFY(reportLinesEmpty(dialog, 3012, 3016));
    }

    void escapeKeepsItOpenAndEnterCloses() {
        ReportDialog dialog(0);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        dialog.close();  // the window manager's close is refused as well
        QVERIFY(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
    }

    void twoClicksSampleTheRectangleStoreItAndOpenTheDialog() {
        ScratchDirectory scratch;
        addPlant(125, 240, 14.25f, 977, 21, 7);
        addHerbivore(129, 249, 120.0f);
        addCarnivore(130, 240, 300.0f);  // the second click's column is not sampled
        kk = 120;
        store = true;
        UL = vt{30, 50};  // first click below and right of the second
        LR = vt{20, 40};
        QWidget owner;
        owner.show();
        QString header;
        whenModalShows([&](ReportDialog& dialog) {
            header = dialog.lineText(3002);
            QTest::keyClick(&dialog, Qt::Key_Enter);
        });
        spotSample(&owner, 100, 200);
        QCOMPARE(header, QString("1 plants, 1 herbivores, and 0 carnivores"));
        QCOMPARE(QString::fromStdString(readFile(kSpotFile)),
                 QString("120\n1 1 0\n977 21 0 14.250000 7\n0 0 0 0 0 120.000000 1\n"));
    }

    void theDialogOpensWhenTheFileCannotBeWritten() {
        ScratchDirectory scratch;
        std::filesystem::create_directory(kSpotFile);
        store = true;
        UL = vt{0, 0};
        LR = vt{10, 10};
        bool opened = false;
        whenModalShows([&](ReportDialog& dialog) {
            opened = true;
            QTest::mouseClick(dialog.findChild<QPushButton*>("control1"), Qt::LeftButton);
        });
        spotSample(nullptr, 0, 0);
        QVERIFY(opened);
    }
};

}  // namespace kesmir::testing

QTEST_MAIN(kesmir::testing::ReportDialogTest)
#include "report_dialog_test.moc"
