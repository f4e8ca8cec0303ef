// A single-precision running total, as a pass over a list adds one cost
// after another, taken a block of records at a time when the costs come
// from a handful of values. Adding c to a positive total t rounds t + c to a
// multiple of the unit u of t's binade (the gap between neighbouring floats
// there); t itself is such a multiple, so while the total stays in that
// binade each addition of c adds the same multiple of u, whatever the total
// is, unless c / u ends in exactly one half (then the rounding goes to the
// even neighbour, which depends on t). A block whose additions all keep the
// total in its binade can therefore be added from its counts alone, with the
// same bits as one by one.
#pragma once

#include <cstdint>

namespace kesmir {

// Adds counts[v] additions of costs[v] (v < values) to `total` when the
// result is exactly that of adding them one by one in any order, and
// returns true; otherwise leaves `total` and returns false, and the block
// must be added one by one in order.
bool addCounted(float& total, const float* costs, const uint32_t* counts, int values);

}  // namespace kesmir
