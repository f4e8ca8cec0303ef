// The model's one random source: a 32-bit linear congruential generator whose
// draws are 15-bit values, 0..32767. Every draw of the model comes from it, on
// the simulation thread, in the order the steps take them, so a run repeats
// exactly for a given seed. (The C library's rand is not used: its range and
// sequence differ between platforms and it is not thread-safe.)
#pragma once

#include <cstdint>

namespace kesmir {

extern uint32_t randState;

constexpr uint32_t kDefaultSeed = 1;

inline void seedRandom(uint32_t seed) {
    randState = seed;
}

// One draw, 0..32767.
inline int32_t draw() {
    randState = randState * 214013u + 2531011u;
    return static_cast<int32_t>((randState >> 16) & 0x7FFF);
}

// A draw divided by 32767 in single precision: 0.0 and 1.0 included.
inline float fRan() {
    return static_cast<float>(draw()) / 32767.0f;
}

}  // namespace kesmir
