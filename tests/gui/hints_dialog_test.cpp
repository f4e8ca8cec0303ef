// The hints dialog: its lines, and which keys close it.
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "display/hints_dialog.h"

namespace kesmir {

class HintsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void titleAndLines() {
        HintsDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("A Few Useful Hints"));
        QStringList shown;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            shown << label->text();
        QCOMPARE(shown.size(), 18);
        QCOMPARE(shown.first(), QStringLiteral("Press 'h' for this screen"));
        QVERIFY(shown.contains(QStringLiteral("Press 'q' to quit the application")));
        QVERIFY(
            shown.contains(QStringLiteral("Press 'r' to adjust reproduction energy requirements")));
        QCOMPARE(shown.last(), QStringLiteral("Version 1.07.7"));
        // The zoom, chart, evolution, picture and checkpoint keys follow the quit line.
        const qsizetype quit = shown.indexOf(QStringLiteral("Press 'q' to quit the application"));
        QCOMPARE(shown[quit + 1],
                 QStringLiteral("Press 'f' to fit the whole world into the window"));
        QCOMPARE(shown[quit + 5],
                 QStringLiteral("Press 'e' to show or hide the evolution of the traits"));
        QCOMPARE(shown[quit + 6],
                 QStringLiteral("Press 'p' to save pictures of the world and the open charts"));
        QCOMPARE(shown[quit + 7],
                 QStringLiteral("Press 'k' to save a checkpoint at the end of the cycle"));
    }

    void escapeDoesNotCloseItAndEnterDoes() {
        HintsDialog dialog;
        bool stillOpenAfterEscape = false;
        QTimer::singleShot(0, &dialog, [&] {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            stillOpenAfterEscape = dialog.isVisible();
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        QCOMPARE(dialog.exec(), 1);
        QVERIFY(stillOpenAfterEscape);
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::HintsDialogTest)
#include "hints_dialog_test.moc"
