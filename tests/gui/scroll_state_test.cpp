// The view's scroll arithmetic: maxima from the client size, clamping of
// every request, and the requests the horizontal bar ignores.
#include <QTest>

#include "display/scroll_state.h"

namespace kesmir {

class ScrollStateTest : public QObject {
    Q_OBJECT

  private:
    static int pos(const ScrollState& s, ScrollAxis axis) { return s.axis(axis).pos; }
    static int max(const ScrollState& s, ScrollAxis axis) { return s.axis(axis).max; }

  private slots:
    void maximaBeforeAndAfterTheFirstSize() {
        ScrollState s;
        QCOMPARE(max(s, ScrollAxis::horizontal), 3201);
        QCOMPARE(max(s, ScrollAxis::vertical), 3201);
        s.resize(1000, 800);
        QCOMPARE(max(s, ScrollAxis::horizontal), 2501);
        QCOMPARE(max(s, ScrollAxis::vertical), 2701);
        QCOMPARE(pos(s, ScrollAxis::horizontal), 0);
        QCOMPARE(pos(s, ScrollAxis::vertical), 0);
    }

    void linesAndPagesStopAtBothEnds() {
        ScrollState s;
        s.resize(1000, 800);
        QCOMPARE(s.request(ScrollAxis::vertical, ScrollRequest::lineBack), 0);
        QCOMPARE(s.request(ScrollAxis::vertical, ScrollRequest::lineForward), 20);
        QCOMPARE(s.request(ScrollAxis::vertical, ScrollRequest::pageForward), 100);
        QCOMPARE(pos(s, ScrollAxis::vertical), 120);
        QCOMPARE(s.request(ScrollAxis::vertical, ScrollRequest::pageBack), -100);
        QCOMPARE(s.request(ScrollAxis::vertical, ScrollRequest::pageBack), -20);
        QCOMPARE(pos(s, ScrollAxis::vertical), 0);

        s.request(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 2490);
        QCOMPARE(s.request(ScrollAxis::horizontal, ScrollRequest::pageForward), 11);
        QCOMPARE(pos(s, ScrollAxis::horizontal), 2501);
        QCOMPARE(s.request(ScrollAxis::horizontal, ScrollRequest::lineForward), 0);
        QCOMPARE(pos(s, ScrollAxis::vertical), 0);  // the other axis is untouched
    }

    void theViewFollowsTheThumbAndStaysOnRelease() {
        ScrollState s;
        s.resize(1000, 800);
        QCOMPARE(s.request(ScrollAxis::vertical, ScrollRequest::thumbTrack, 500), 500);
        QCOMPARE(s.request(ScrollAxis::vertical, ScrollRequest::thumbReleased, 0), 0);
        QCOMPARE(s.request(ScrollAxis::vertical, ScrollRequest::finished), 0);
        QCOMPARE(pos(s, ScrollAxis::vertical), 500);
        s.request(ScrollAxis::vertical, ScrollRequest::thumbTrack, 99999);
        QCOMPARE(pos(s, ScrollAxis::vertical), 2701);
        s.request(ScrollAxis::vertical, ScrollRequest::thumbTrack, -5);
        QCOMPARE(pos(s, ScrollAxis::vertical), 0);
    }

    void onlyTheVerticalAxisGoesToItsEdges() {
        ScrollState s;
        s.resize(1000, 800);
        s.request(ScrollAxis::vertical, ScrollRequest::toEnd);
        QCOMPARE(pos(s, ScrollAxis::vertical), 2701);
        s.request(ScrollAxis::vertical, ScrollRequest::toStart);
        QCOMPARE(pos(s, ScrollAxis::vertical), 0);

        s.request(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 300);
        QCOMPARE(s.request(ScrollAxis::horizontal, ScrollRequest::toEnd), 0);
        QCOMPARE(s.request(ScrollAxis::horizontal, ScrollRequest::toStart), 0);
        QCOMPARE(pos(s, ScrollAxis::horizontal), 300);
    }

    void minimisingKeepsThePositionsAndRestoringClampsThem() {
        ScrollState s;
        s.resize(1000, 800);
        s.request(ScrollAxis::horizontal, ScrollRequest::thumbTrack, 2501);
        s.request(ScrollAxis::vertical, ScrollRequest::thumbTrack, 2000);
        s.resize(0, 0);
        QCOMPARE(max(s, ScrollAxis::horizontal), 3501);
        QCOMPARE(max(s, ScrollAxis::vertical), 3501);
        QCOMPARE(pos(s, ScrollAxis::horizontal), 2501);
        QCOMPARE(pos(s, ScrollAxis::vertical), 2000);
        s.request(ScrollAxis::vertical, ScrollRequest::thumbTrack, 3400);  // while minimised
        s.resize(1200, 1000);
        QCOMPARE(pos(s, ScrollAxis::horizontal), 2301);
        QCOMPARE(pos(s, ScrollAxis::vertical), 2501);
    }

    void aTallerWindowKeepsTheBottomRowInView() {
        ScrollState s;
        s.resize(1000, 800);
        s.request(ScrollAxis::vertical, ScrollRequest::toEnd);
        s.resize(1000, 900);
        QCOMPARE(max(s, ScrollAxis::vertical), 2601);
        QCOMPARE(pos(s, ScrollAxis::vertical), 2601);
        // Shown rows pos .. pos + height - 1 still reach world row 3500.
        QCOMPARE(pos(s, ScrollAxis::vertical) + s.clientHeight() - 1, 3500);
    }

    void aClientWiderThanTheWorldNeverScrollsNegative() {
        ScrollState s;
        s.resize(3600, 300);
        QCOMPARE(max(s, ScrollAxis::horizontal), 0);
        QCOMPARE(s.request(ScrollAxis::horizontal, ScrollRequest::pageForward), 0);
        QCOMPARE(pos(s, ScrollAxis::horizontal), 0);
    }
};

}  // namespace kesmir

QTEST_APPLESS_MAIN(kesmir::ScrollStateTest)
#include "scroll_state_test.moc"
