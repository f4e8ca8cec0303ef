// How much of a step's ordered work was worked out ahead on other threads.
#pragma once

#include <cstdint>

namespace kesmir {

// Records the ordered pass went through, how many of the ones worked out
// ahead it had to work out again from the true state, and how many it
// worked out alone because the work ahead had not got there.
struct AheadCounts {
    int64_t worked = 0;
    int64_t redone = 0;
    int64_t alone = 0;
};

}  // namespace kesmir
