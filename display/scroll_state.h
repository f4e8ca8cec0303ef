// The view's scroll arithmetic, kept apart from the widgets so that every
// edge case can be checked without a window.
//
// Each axis has a position (the world column or row shown at the client's
// left or top edge) and a maximum of 3501 minus the client extent: scrolled
// to the end, the last visible column or row is one past the 3500-cell world
// and shows the window background.
#pragma once

namespace kesmir {

enum class ScrollAxis { horizontal, vertical };

// The scroll bar's request codes, in the order the bars and keys send them.
enum class ScrollRequest {
    lineBack,       // up or left by a line
    lineForward,    // down or right by a line
    pageBack,       // up or left by a page
    pageForward,    // down or right by a page
    thumbReleased,  // changes nothing: the view already follows the drag
    thumbTrack,     // the thumb is being dragged to `thumb`
    toStart,        // top edge; the horizontal bar ignores it
    toEnd,          // bottom edge; the horizontal bar ignores it
    finished,       // end of a scroll gesture: nothing to do
};

struct AxisScroll {
    int pos = 0;
    int max = 0;
};

class ScrollState {
  public:
    static constexpr int kLineStep = 20;
    static constexpr int kPageStep = 100;
    static constexpr int kScrollEnd = 3501;  // world side + 1
    static constexpr int kInitialClientSide = 300;

    ScrollState();

    // The client area changed size (also 0 x 0 when minimised): the maxima
    // follow and each position is pulled back within its new maximum.
    void resize(int clientWidth, int clientHeight);

    // Applies a request, clamped to 0..max; returns the step taken (0 when
    // nothing moved). `thumb` is used by thumbTrack only.
    int request(ScrollAxis axis, ScrollRequest request, int thumb = 0);

    const AxisScroll& axis(ScrollAxis which) const {
        return which == ScrollAxis::horizontal ? horizontal_ : vertical_;
    }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }

  private:
    AxisScroll& axisRef(ScrollAxis which) {
        return which == ScrollAxis::horizontal ? horizontal_ : vertical_;
    }

    int clientWidth_ = kInitialClientSide;
    int clientHeight_ = kInitialClientSide;
    AxisScroll horizontal_;
    AxisScroll vertical_;
};

}  // namespace kesmir
