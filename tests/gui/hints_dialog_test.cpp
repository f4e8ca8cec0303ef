// The hints dialog: its lines, and which keys close it.
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "display/hints_dialog.h"

namespace kesmir {

class HintsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void titleAndElevenLines() {
        HintsDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("A Few Useful Hints"));
        QStringList shown;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            shown << label->text();
        QCOMPARE(shown.size(), 11);
        QCOMPARE(shown.first(), QStringLiteral("Press 'h' for this screen"));
        QVERIFY(shown.contains(QStringLiteral("Press 'q' to quit the application")));
        QVERIFY(
            shown.contains(QStringLiteral("Press 'r' to adjust reproduction energy requirements")));
        QCOMPARE(shown.last(), QStringLiteral("Version 1.07.7"));
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
