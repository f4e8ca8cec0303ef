#include "files/checksum64.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kesmir {

namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

static_assert(std::endian::native == std::endian::little, "words are read little-endian");

uint64_t read64(const unsigned char* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

uint32_t read32(const unsigned char* p) {
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

uint64_t round(uint64_t lane, uint64_t input) {
    return std::rotl(lane + input * kPrime2, 31) * kPrime1;
}

uint64_t mergeLane(uint64_t hash, uint64_t lane) {
    return (hash ^ round(0, lane)) * kPrime1 + kPrime4;
}

}  // namespace

void Checksum64::consumeStripe(const unsigned char* stripe) {
    for (int lane = 0; lane < 4; ++lane)
        lanes_[lane] = round(lanes_[lane], read64(stripe + 8 * lane));
}

void Checksum64::add(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    total_ += size;
    if (pendingSize_ > 0) {
        const std::size_t taken = std::min(size, kStripe - pendingSize_);
        std::memcpy(pending_ + pendingSize_, p, taken);
        pendingSize_ += taken;
        p += taken;
        size -= taken;
        if (pendingSize_ < kStripe) return;
        consumeStripe(pending_);
        pendingSize_ = 0;
    }
    for (; size >= kStripe; p += kStripe, size -= kStripe)
        consumeStripe(p);
    std::memcpy(pending_, p, size);
    pendingSize_ = size;
}

uint64_t Checksum64::value() const {
    uint64_t hash;
    if (total_ >= kStripe) {
        hash = std::rotl(lanes_[0], 1) + std::rotl(lanes_[1], 7) + std::rotl(lanes_[2], 12) +
               std::rotl(lanes_[3], 18);
        for (uint64_t lane : lanes_)
            hash = mergeLane(hash, lane);
    } else {
        hash = kPrime5;
    }
    hash += total_;
    const unsigned char* p = pending_;
    std::size_t left = pendingSize_;
    for (; left >= 8; p += 8, left -= 8)
        hash = std::rotl(hash ^ round(0, read64(p)), 27) * kPrime1 + kPrime4;
    if (left >= 4) {
        hash = std::rotl(hash ^ (uint64_t{read32(p)} * kPrime1), 23) * kPrime2 + kPrime3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left)
        hash = std::rotl(hash ^ (*p * kPrime5), 11) * kPrime1;
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime3;
    hash ^= hash >> 32;
    return hash;
}

}  // namespace kesmir
