// The view's scroll arithmetic, kept apart from the widgets so that every
// edge case can be checked without a window.
//
// Each axis has a position (the content pixel shown at the client's left or
// top edge; at one pixel per cell, the world column or row) and a maximum of
// the content's extent plus one minus the client extent: scrolled to the
// end, the last visible column or row is one past the world and shows the
// window background. The content is 3500 pixels wide until the zoom says
// otherwise.
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
    static constexpr int kScrollEnd = 3501;  // world side + 1, at one pixel per cell
    static constexpr int kInitialClientSide = 300;

    ScrollState();

    // The client area changed size (also 0 x 0 when minimised): the maxima
    // follow and each position is pulled back within its new maximum.
    void resize(int clientWidth, int clientHeight);

    // The content changed size (the zoom changed): the same as a resize.
    void setContentExtent(int extent);

    // Puts both positions at the given ones, clamped to 0..max.
    void moveTo(int horizontalPos, int verticalPos);

    // Applies a request, clamped to 0..max; returns the step taken (0 when
    // nothing moved). `thumb` is used by thumbTrack only.
    int request(ScrollAxis axis, ScrollRequest request, int thumb = 0);

    const AxisScroll& axis(ScrollAxis which) const {
        return which == ScrollAxis::horizontal ? horizontal_ : vertical_;
    }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    int contentExtent() const { return scrollEnd_ - 1; }

  private:
    AxisScroll& axisRef(ScrollAxis which) {
        return which == ScrollAxis::horizontal ? horizontal_ : vertical_;
    }

    int maxFor(int clientExtent) const;

    int scrollEnd_ = kScrollEnd;
    int clientWidth_ = kInitialClientSide;
    int clientHeight_ = kInitialClientSide;
    AxisScroll horizontal_;
    AxisScroll vertical_;
};

}  // namespace kesmir
