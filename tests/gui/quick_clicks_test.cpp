// Two left presses in quick succession, which the window system reports as
// a press and a double click, still mark the two corners of a selection.
#include <QTest>
#include <vector>

#include "display/frame_buffers.h"
#include "display/world_window.h"
#include "model/model_fixture.h"

namespace kesmir {

class QuickClicksTest : public QObject {
    Q_OBJECT

  private slots:
    void aDoubleClickIsTwoCorners() {
        testing::resetModel();
        FrameBuffers buffers;
        WorldWindow window(buffers);
        std::vector<SpotSelection> completed;
        window.selectionCompleteHook = [&](const SpotSelection& s) { completed.push_back(s); };
        window.resize(600, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Through the window, as the window system delivers presses: the
        // second press of each pair comes within the double-click interval.
        QWindow* handle = window.windowHandle();
        const QPoint at = window.viewport()->mapTo(&window, QPoint(40, 30));
        QTest::mouseDClick(handle, Qt::LeftButton, {}, at);
        QCOMPARE(completed.size(), std::size_t(1));
        QCOMPARE(completed[0].UL, (ClientPoint{40, 30}));
        QCOMPARE(completed[0].LR, (ClientPoint{40, 30}));
        QVERIFY(!window.selection().firstClick());

        // A lone click, then a quick pair: the pair's first press completes
        // the selection and its second starts the next one.
        QTest::mouseClick(handle, Qt::LeftButton, {},
                          window.viewport()->mapTo(&window, QPoint(5, 6)));
        QTest::mouseDClick(handle, Qt::LeftButton, {}, at);
        QCOMPARE(completed.size(), std::size_t(2));
        QCOMPARE(completed[1].UL, (ClientPoint{5, 6}));
        QVERIFY(window.selection().firstClick());
        QCOMPARE(window.selection().UL(), (ClientPoint{40, 30}));
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::QuickClicksTest)
#include "quick_clicks_test.moc"
