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

// The generator's step taken n times at once: state -> multiplier * state +
// increment, both mod 2^32. Used where a run of draws is known to be thrown
// away, so it can be skipped without changing the sequence, and where the
// state a run of draws will start from is known in advance.
struct RandomJump {
    uint32_t multiplier = 1;
    uint32_t increment = 0;

    // This jump, then `next`.
    constexpr RandomJump then(const RandomJump& next) const {
        return RandomJump{multiplier * next.multiplier,
                          increment * next.multiplier + next.increment};
    }
    // n draws, composed from jumps of 1, 2, 4, ... draws.
    static constexpr RandomJump of(uint64_t draws) {
        RandomJump jump;
        RandomJump power{214013u, 2531011u};
        for (; draws != 0; draws >>= 1) {
            if (draws & 1) jump = jump.then(power);
            power = power.then(power);
        }
        return jump;
    }
    constexpr uint32_t apply(uint32_t state) const { return state * multiplier + increment; }
};

// A draw divided by 32767 in single precision: 0.0 and 1.0 included.
inline float fRanOf(int32_t d) {
    return static_cast<float>(d) / 32767.0f;
}
inline float fRan() {
    return fRanOf(draw());
}

// The generator copied into a local for a run of draws in a hot loop, so the
// state stays in a register; it goes back with commit(), before any other
// draw is taken.
class LocalRandom {
  public:
    LocalRandom() : state_(randState) {}
    explicit LocalRandom(uint32_t state) : state_(state) {}
    int32_t draw() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int32_t>((state_ >> 16) & 0x7FFF);
    }
    float fRan() { return fRanOf(draw()); }
    // Two draws in a row. The second is computed from the same state as the
    // first, so the two multiplications do not wait on each other.
    void drawTwo(int32_t& first, int32_t& second) {
        constexpr RandomJump kTwo = RandomJump::of(2);
        first = static_cast<int32_t>(((state_ * 214013u + 2531011u) >> 16) & 0x7FFF);
        state_ = kTwo.apply(state_);
        second = static_cast<int32_t>((state_ >> 16) & 0x7FFF);
    }
    void skip(const RandomJump& jump) { state_ = jump.apply(state_); }
    void commit() const { randState = state_; }
    uint32_t state() const { return state_; }

  private:
    uint32_t state_;
};

}  // namespace kesmir
