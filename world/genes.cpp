#include "world/genes.h"

#include "world/random.h"

namespace kesmir {

uint32_t crossover(uint32_t first, uint32_t second) {
    const int cut = draw() % 31;
    const uint32_t high = (first >> cut) << cut;
    const uint32_t low = (second << (31 - cut)) >> (31 - cut);
    uint32_t child = high | low;
    // The threshold is compared in double precision: draws 31784..32767 mutate.
    const float p = fRan();
    if (static_cast<double>(p) > 0.97) child = mutation(child);
    return child;
}

uint32_t mutation(uint32_t word) {
    const int bit = draw() % 31;
    return word ^ (1u << bit);
}

}  // namespace kesmir
