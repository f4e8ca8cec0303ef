// A 64-bit checksum fed piece by piece: xxHash64 with seed 0, the function
// zstd uses for its own frame checksums. Fast enough (several GB/s) to cover
// every byte of a checkpoint without showing in its write or read time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kesmir {

class Checksum64 {
  public:
    void add(const void* data, std::size_t size);

    // The checksum of everything added so far; adding may go on afterwards.
    uint64_t value() const;

  private:
    static constexpr std::size_t kStripe = 32;

    void consumeStripe(const unsigned char* stripe);

    uint64_t lanes_[4] = {0x9E3779B185EBCA87ull + 0xC2B2AE3D27D4EB4Full, 0xC2B2AE3D27D4EB4Full, 0,
                          0 - 0x9E3779B185EBCA87ull};
    unsigned char pending_[kStripe];
    std::size_t pendingSize_ = 0;
    uint64_t total_ = 0;
};

}  // namespace kesmir
