#include "sim/counted_sum.h"

#include <cfloat>
#include <cmath>

namespace kesmir {

bool addCounted(float& total, const float* costs, const uint32_t* counts, int values) {
    // Only a positive, normal total has a binade with a fixed unit.
    if (!(total >= FLT_MIN) || !std::isfinite(total)) return false;
    int exponent = 0;
    std::frexp(total, &exponent);  // total lies in [2^(exponent-1), 2^exponent)
    const double unit = std::ldexp(1.0, exponent - FLT_MANT_DIG);
    const double binadeEnd = std::ldexp(1.0, exponent);
    double units = 0;  // exact: far below 2^53
    for (int v = 0; v < values; ++v) {
        if (counts[v] == 0) continue;
        // Costs below zero could lead the total out of the binade and back.
        if (!(costs[v] >= 0.0f) || !std::isfinite(costs[v])) return false;
        const double ratio = static_cast<double>(costs[v]) / unit;  // exact: a power of two
        const double whole = std::floor(ratio);
        const double fraction = ratio - whole;
        if (fraction == 0.5) return false;
        units += (fraction < 0.5 ? whole : whole + 1.0) * counts[v];
        if (units * unit >= binadeEnd) return false;
    }
    // Additions never decrease the total: if the last one stays in the
    // binade, so did every one before it.
    const double sum = static_cast<double>(total) + units * unit;
    if (sum >= binadeEnd) return false;
    total = static_cast<float>(sum);
    return true;
}

}  // namespace kesmir
