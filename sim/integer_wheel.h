// The direction wheel decided on whole numbers. The walk compares the draw's
// fraction r = d / 32767 with the running totals of the normalised weights,
// W_k / s in floats. Worked through for every set of eight weights, each
// comparison comes out as W_k * 32767 < d * s in whole numbers, except where
// the two are equal, which only the floats decide: so the index is counted
// from the whole numbers, and only a tie (rare: d * s a multiple of 32767)
// spins the float wheel. No division and no float sum per animal.
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
        int32_t running = 0;
        for (int k = 1; k <= 8; ++k) {
            running += static_cast<int32_t>(field(chrom4, genes::directionWeight(k)));
            scaledTotal_[k - 1] = running * 32767;
        }
        sum_ = running;
    }

    // The direction index DirectionWheel(chrom4).index(fRanOf(d)) gives for
    // a direction draw d.
    int index(int32_t d) const {
        if (d == 0) return 0;     // r = 0: the walk never starts
        if (sum_ == 0) return 1;  // no weights: one step to E
        const int32_t scaledDraw = d * sum_;
        int below = 0;
        int ties = 0;
        for (int k = 0; k < 8; ++k) {
            below += scaledTotal_[k] < scaledDraw;
            ties += scaledTotal_[k] == scaledDraw;
        }
        if (ties != 0) return DirectionWheel(chrom4_).index(fRanOf(d));
        return below + 1;
    }

    // For the look-ups that work out eight at a time.
    int32_t sum() const { return sum_; }
    int32_t scaledTotal(int k) const { return scaledTotal_[k - 1]; }  // k = 1 (E) .. 8 (SE)

  private:
    uint32_t chrom4_;
    int32_t sum_;
    int32_t scaledTotal_[8];  // W_k * 32767, W_k the sum of the weights of directions 1..k
};

}  // namespace kesmir
