#include "display/scroll_state.h"

#include <algorithm>

namespace kesmir {

// A client wider than the content would give a negative maximum: zoomed
// out it is, and the position stays 0.
int ScrollState::maxFor(int clientExtent) const {
    return std::max(0, scrollEnd_ - clientExtent);
}

namespace {

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

void ScrollState::setContentExtent(int extent) {
    scrollEnd_ = extent + 1;
    resize(clientWidth_, clientHeight_);
}

void ScrollState::moveTo(int horizontalPos, int verticalPos) {
    horizontal_.pos = std::clamp(horizontalPos, 0, horizontal_.max);
    vertical_.pos = std::clamp(verticalPos, 0, vertical_.max);
}

int ScrollState::request(ScrollAxis axis, ScrollRequest request, int thumb) {
    AxisScroll& s = axisRef(axis);
    const int step = std::max(-s.pos, std::min(wantedStep(axis, request, s, thumb), s.max - s.pos));
    s.pos += step;
    return step;
}

}  // namespace kesmir
