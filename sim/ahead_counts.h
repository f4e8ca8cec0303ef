// How much of a step's ordered work was worked out ahead on other threads.
#pragma once

#include <cstdint>

namespace kesmir {

// Records worked out ahead, and how many of them the ordered pass had to
// work out again from the true state.
struct AheadCounts {
    int64_t worked = 0;
    int64_t redone = 0;
};

}  // namespace kesmir
