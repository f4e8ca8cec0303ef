#include "display/scroll_state.h"

#include <algorithm>

namespace kesmir {

namespace {

// A client wider than the world would give a negative maximum; the window's
// size limits keep that from happening, and this keeps positions >= 0 if it
// ever did.
int maxFor(int clientExtent) {
    return std::max(0, ScrollState::kScrollEnd - clientExtent);
}

int wantedStep(ScrollAxis axis, ScrollRequest request, const AxisScroll& s, int thumb) {
    const bool vertical = axis == ScrollAxis::vertical;
    switch (request) {
        case ScrollRequest::lineBack:
            return -ScrollState::kLineStep;
        case ScrollRequest::lineForward:
            return ScrollState::kLineStep;
        case ScrollRequest::pageBack:
            return -ScrollState::kPageStep;
        case ScrollRequest::pageForward:
            return ScrollState::kPageStep;
        case ScrollRequest::thumbTrack:
            return thumb - s.pos;
        case ScrollRequest::toStart:
            return vertical ? -s.pos : 0;
        case ScrollRequest::toEnd:
            return vertical ? s.max - s.pos : 0;
        case ScrollRequest::thumbReleased:
        case ScrollRequest::finished:
            return 0;
    }
    return 0;
}

}  // namespace

ScrollState::ScrollState() {
    horizontal_.max = maxFor(clientWidth_);
    vertical_.max = maxFor(clientHeight_);
}

void ScrollState::resize(int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    vertical_.max = maxFor(clientHeight);
    vertical_.pos = std::min(vertical_.pos, vertical_.max);
    horizontal_.max = maxFor(clientWidth);
    horizontal_.pos = std::min(horizontal_.pos, horizontal_.max);
}

int ScrollState::request(ScrollAxis axis, ScrollRequest request, int thumb) {
    AxisScroll& s = axisRef(axis);
    const int step = std::max(-s.pos, std::min(wantedStep(axis, request, s, thumb), s.max - s.pos));
    s.pos += step;
    return step;
}

}  // namespace kesmir
