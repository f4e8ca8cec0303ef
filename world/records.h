// The organism records. Records are plain values: culling, insertion and
// sampling copy them whole.
#pragma once

#include <cstdint>

namespace kesmir {

// 32 bytes.
struct plant {
    int32_t x;      // column, 0..3499
    int32_t y;      // row, 0..3499
    float energy;   // below 0 means starved
    uint8_t alive;  // 0 = dropped by the next cull
    int32_t age;    // 1 when born, +1 each metabolism step
    uint32_t chrom1;
    uint32_t chrom2;
    uint32_t GM;  // descent marker, never decoded
};

// 40 bytes; herbivores and carnivores share it.
struct animal {
    int32_t x;
    int32_t y;
    float energy;
    uint8_t alive;
    int32_t age;
    uint32_t chrom1;
    uint32_t chrom2;
    uint32_t chrom3;
    uint32_t chrom4;
    uint32_t GM;
};

static_assert(sizeof(plant) == 32);
static_assert(sizeof(animal) == 40);

}  // namespace kesmir
