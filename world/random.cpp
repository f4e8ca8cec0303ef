#include "world/random.h"

#include <array>

namespace kesmir {

uint32_t randState = kDefaultSeed;

const float* drawFractions() {
    static const std::array<float, 32768> fractions = [] {
        std::array<float, 32768> table{};
        for (int32_t d = 0; d < 32768; ++d)
            table[static_cast<std::size_t>(d)] = fRanOf(d);
        return table;
    }();
    return fractions.data();
}

}  // namespace kesmir
