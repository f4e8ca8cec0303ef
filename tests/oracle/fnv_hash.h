// 64-bit FNV-1a over the bytes of 32-bit words, least significant byte
// first: the state hash that both the model and the reference model compute.
#pragma once

#include <cstdint>
#include <cstring>

namespace kesmir::testing {

class Fnv {
  public:
    void word(uint32_t w) {
        for (int i = 0; i < 4; ++i) {
            hash_ ^= (w >> (8 * i)) & 0xFFu;
            hash_ *= 1099511628211ull;
        }
    }
    void real(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        word(bits);
    }
    uint64_t value() const { return hash_; }

  private:
    uint64_t hash_ = 14695981039346656037ull;
};

}  // namespace kesmir::testing
