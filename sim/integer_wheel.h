// The direction wheel decided on whole numbers. The walk compares the draw's
// fraction r = d / 32767 with the running totals of the normalised weights,
// W_k / s in floats. Worked through for every set of eight weights, each
// comparison comes out as W_k * 32767 < d * s in whole numbers, except where
// the two are equal, which only the floats decide: so the index is counted
// from the whole numbers, and only a tie (rare: d * s a multiple of 32767)
// spins the float wheel. No division and no float sum per animal.
//
// The eight running totals (at most 56 each) are kept one to a byte of a
// word, so that all eight are compared with one subtraction.
#pragma once

#include <cstdint>

#include "sim/move.h"
#include "world/genes.h"
#include "world/random.h"

namespace kesmir {

class IntegerWheel {
  public:
    IntegerWheel() : IntegerWheel(0) {}
    explicit IntegerWheel(uint32_t chrom4) : chrom4_(chrom4) {
        // The weights of SE (bits 0-2) .. E (bits 21-23) moved to bytes
        // 0 .. 7, then the bytes reversed so that byte k - 1 holds
        // direction k; multiplying by kBytes sums each byte with those below.
        uint64_t w = chrom4 & 0xFFFFFFu;
        w = (w & 0x000FFFu) | (w & 0xFFF000u) << 20;
        w = (w & 0x0000003F0000003Full) | (w & 0x00000FC000000FC0ull) << 10;
        w = (w & 0x0007000700070007ull) | (w & 0x0038003800380038ull) << 5;
        totals_ = __builtin_bswap64(w) * kBytes;
        sum_ = static_cast<int32_t>(totals_ >> 56);
    }

    // The direction index DirectionWheel(chrom4).index(fRanOf(d)) gives for
    // a direction draw d.
    int index(int32_t d) const {
        if (d == 0) return 0;     // r = 0: the walk never starts
        if (sum_ == 0) return 1;  // no weights: one step to E
        // W_k * 32767 < d * s holds for the W_k up to q = d * s / 32767,
        // but for W_k = q when the division leaves no remainder: a tie.
        const int32_t scaledDraw = d * sum_;
        const int32_t q = scaledDraw / 32767;
        if (q * 32767 == scaledDraw && hasByte(q)) return floatIndex(d);
        // Bytes above q keep their high bit.
        const uint64_t above =
            ((totals_ | kHighBits) - static_cast<uint64_t>(q + 1) * kBytes) & kHighBits;
        return 9 - static_cast<int>(((above >> 7) * kBytes) >> 56);
    }

    // For the look-ups that work out eight at a time.
    int32_t sum() const { return sum_; }
    // W_k * 32767, W_k the sum of the weights of directions 1 (E) .. k.
    int32_t scaledTotal(int k) const {
        return static_cast<int32_t>(totals_ >> (8 * (k - 1)) & 0xFF) * 32767;
    }

  private:
    static constexpr uint64_t kBytes = 0x0101010101010101ull;
    static constexpr uint64_t kHighBits = 0x8080808080808080ull;

    // Whether some running total is exactly q.
    bool hasByte(int32_t q) const {
        const uint64_t v = totals_ ^ (static_cast<uint64_t>(q) * kBytes);
        return ((v - kBytes) & ~v & kHighBits) != 0;
    }

    // A tie: the float wheel decides.
    int floatIndex(int32_t d) const { return DirectionWheel(chrom4_).index(fRanOf(d)); }

    uint32_t chrom4_;
    int32_t sum_;
    uint64_t totals_;  // byte k - 1: W_k
};

}  // namespace kesmir
