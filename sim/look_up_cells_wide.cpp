// The look-ups eight at a time with AVX2, chosen at run time so that the
// program still runs on processors without it.
#include <array>

#include "sim/look_up_cells.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kesmir {

#if defined(__x86_64__)

namespace {

constexpr int kWidth = 8;

// Look-up j of eight starting from state s draws its distance from the
// state 2j + 1 steps on and its direction from the state 2j + 2 steps on.
struct BatchJumps {
    std::array<int32_t, kWidth> distanceMultiplier, distanceIncrement;
    std::array<int32_t, kWidth> directionMultiplier, directionIncrement;
    RandomJump next = RandomJump::of(2 * kWidth);
    constexpr BatchJumps()
        : distanceMultiplier{}, distanceIncrement{}, directionMultiplier{}, directionIncrement{} {
        for (int j = 0; j < kWidth; ++j) {
            const RandomJump distance = RandomJump::of(2 * j + 1);
            const RandomJump direction = RandomJump::of(2 * j + 2);
            distanceMultiplier[j] = static_cast<int32_t>(distance.multiplier);
            distanceIncrement[j] = static_cast<int32_t>(distance.increment);
            directionMultiplier[j] = static_cast<int32_t>(direction.multiplier);
            directionIncrement[j] = static_cast<int32_t>(direction.increment);
        }
    }
};
constexpr BatchJumps kJumps;

__attribute__((target("avx2"))) __m256i load(const std::array<int32_t, kWidth>& values) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values.data()));
}

// The 15-bit draw of each state.
__attribute__((target("avx2"))) __m256i drawOf(__m256i state) {
    return _mm256_and_si256(_mm256_srli_epi32(state, 16), _mm256_set1_epi32(0x7FFF));
}

}  // namespace

bool wideLookUpsAvailable() {
    return __builtin_cpu_supports("avx2");
}

__attribute__((target("avx2"))) void lookUpCellsWide(const LookUpOrigin& origin, int count,
                                                     int32_t* cells) {
    // The quotient's product d * multiplier must stay below 2^32 in 32-bit
    // lanes: true for every reach the genes give (12 and more).
    if (origin.reach.multiplier() * 32767u >= (uint64_t{1} << 32)) {
        lookUpCellsPlain(origin, count, cells);
        return;
    }
    const __m256i distanceMultiplier = load(kJumps.distanceMultiplier);
    const __m256i distanceIncrement = load(kJumps.distanceIncrement);
    const __m256i directionMultiplier = load(kJumps.directionMultiplier);
    const __m256i directionIncrement = load(kJumps.directionIncrement);
    const __m256i reach = _mm256_set1_epi32(static_cast<int32_t>(origin.reach.divisor()));
    const __m256i quotientMultiplier =
        _mm256_set1_epi32(static_cast<int32_t>(origin.reach.multiplier()));
    __m256i scaledTotals[9];
    for (int k = 1; k <= 8; ++k)
        scaledTotals[k] = _mm256_set1_epi32(origin.wheel.scaledTotal(k));
    const __m256i weightSum = _mm256_set1_epi32(origin.wheel.sum());
    const bool noWeights = origin.wheel.sum() == 0;
    // dir[1 .. 8], E to SE, picked by index - 1; stay (index 0) is no step.
    const __m256i stepX = _mm256_setr_epi32(1, 1, 0, -1, -1, -1, 0, 1);
    const __m256i stepY = _mm256_setr_epi32(0, 1, 1, 1, 0, -1, -1, -1);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i side = _mm256_set1_epi32(kWorldSide);
    const __m256i lastColumn = _mm256_set1_epi32(kWorldSide - 1);
    const __m256i x = _mm256_set1_epi32(origin.position.x);
    const __m256i y = _mm256_set1_epi32(origin.position.y);
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);

    uint32_t state = origin.state;
    for (int first = 0; first < count; first += kWidth) {
        const __m256i s = _mm256_set1_epi32(static_cast<int32_t>(state));
        const __m256i distanceDraw =
            drawOf(_mm256_add_epi32(_mm256_mullo_epi32(s, distanceMultiplier), distanceIncrement));
        const __m256i directionDraw = drawOf(
            _mm256_add_epi32(_mm256_mullo_epi32(s, directionMultiplier), directionIncrement));

        const __m256i quotient =
            _mm256_srli_epi32(_mm256_mullo_epi32(distanceDraw, quotientMultiplier), 20);
        const __m256i distance =
            _mm256_sub_epi32(distanceDraw, _mm256_mullo_epi32(quotient, reach));

        // The wheel: stay for a draw of 0, else one plus the totals below
        // the draw; a tie is left to the wheel of one look-up (below).
        const __m256i moving = _mm256_cmpgt_epi32(directionDraw, _mm256_setzero_si256());
        const __m256i scaledDraw = _mm256_mullo_epi32(directionDraw, weightSum);
        __m256i below = _mm256_setzero_si256();
        __m256i tie = _mm256_setzero_si256();
        for (int k = 1; k <= 8; ++k) {
            below = _mm256_sub_epi32(below, _mm256_cmpgt_epi32(scaledDraw, scaledTotals[k]));
            tie = _mm256_or_si256(tie, _mm256_cmpeq_epi32(scaledDraw, scaledTotals[k]));
        }
        int ties = 0;
        __m256i index = one;
        if (!noWeights) {
            index = _mm256_add_epi32(below, one);
            ties = _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_and_si256(moving, tie)));
        }
        const __m256i pick = _mm256_sub_epi32(index, one);
        const __m256i dx = _mm256_and_si256(_mm256_permutevar8x32_epi32(stepX, pick), moving);
        const __m256i dy = _mm256_and_si256(_mm256_permutevar8x32_epi32(stepY, pick), moving);

        __m256i cx = _mm256_add_epi32(x, _mm256_mullo_epi32(distance, dx));
        __m256i cy = _mm256_add_epi32(y, _mm256_mullo_epi32(distance, dy));
        cx = _mm256_add_epi32(
            cx, _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), cx), side));
        cx = _mm256_sub_epi32(cx, _mm256_and_si256(_mm256_cmpgt_epi32(cx, lastColumn), side));
        cy = _mm256_add_epi32(
            cy, _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), cy), side));
        cy = _mm256_sub_epi32(cy, _mm256_and_si256(_mm256_cmpgt_epi32(cy, lastColumn), side));
        const __m256i cell = _mm256_add_epi32(_mm256_mullo_epi32(cy, side), cx);

        const int left = count - first;
        if (left >= kWidth) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells + first), cell);
        } else {
            const __m256i keep = _mm256_cmpgt_epi32(_mm256_set1_epi32(left), lane);
            _mm256_maskstore_epi32(cells + first, keep, cell);
            ties &= (1 << left) - 1;
        }
        for (; ties != 0; ties &= ties - 1) {
            const int j = __builtin_ctz(ties);
            LocalRandom random(RandomJump::of(2 * j).apply(state));
            cells[first + j] = lookUpCell(origin, random);
        }
        state = kJumps.next.apply(state);
    }
}

#else

bool wideLookUpsAvailable() {
    return false;
}

void lookUpCellsWide(const LookUpOrigin& origin, int count, int32_t* cells) {
    lookUpCellsPlain(origin, count, cells);
}

#endif

}  // namespace kesmir
