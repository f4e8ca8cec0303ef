// The two-click selection on its own: the corners in click order, a right
// click abandoning a half-made selection, and the scroll positions taken at
// the second click.
#include <QTest>

#include "display/selection.h"

namespace kesmir {

class SelectionTest : public QObject {
    Q_OBJECT

  private slots:
    void leftRightLeftLeftUsesTheLastTwoClicks() {
        TwoClickSelection selection;
        QVERIFY(!selection.leftClick({1, 2}, 0, 0));
        selection.rightClick();
        QVERIFY(!selection.firstClick());
        QVERIFY(!selection.leftClick({30, 40}, 5, 6));
        QCOMPARE(selection.UL(), (ClientPoint{30, 40}));
        const auto done = selection.leftClick({10, 90}, 700, 800);
        QVERIFY(done.has_value());
        QCOMPARE(done->UL, (ClientPoint{30, 40}));
        QCOMPARE(done->LR, (ClientPoint{10, 90}));  // not reordered
        QCOMPARE(done->hScrollPos, 700);
        QCOMPARE(done->vScrollPos, 800);
        QVERIFY(!selection.firstClick());
    }

    void twoClicksAtOnePointStillCompleteASelection() {
        TwoClickSelection selection;
        selection.leftClick({5, 5}, 0, 0);
        const auto done = selection.leftClick({5, 5}, 0, 0);
        QVERIFY(done.has_value());
        QCOMPARE(done->UL, done->LR);
    }

    void aRightClickWithoutAFirstCornerChangesNothing() {
        TwoClickSelection selection;
        selection.rightClick();
        QVERIFY(!selection.firstClick());
        QVERIFY(!selection.leftClick({1, 1}, 0, 0));
        QVERIFY(selection.firstClick());
    }
};

}  // namespace kesmir

QTEST_APPLESS_MAIN(kesmir::SelectionTest)
#include "selection_test.moc"
