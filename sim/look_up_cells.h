// The target cells of an eater's look-ups. Each look-up takes two draws, a
// distance below the eater's reach and a direction from its wheel, and
// lands on the cell that many steps away on the torus. The draws of an
// eater's look-ups follow one another, so the states they come from are
// known from the first by jumping the generator: with AVX2 the cells are
// worked out eight at a time, with the same integer steps, so the same
// cells.
#pragma once

#include <cstdint>

#include "sim/integer_wheel.h"
#include "world/random.h"
#include "world/small_divisor.h"
#include "world/vt.h"

namespace kesmir {

// Where the look-ups of one eater start from: the generator state before
// its first draw, its cell, its reach (12 or more) and its wheel.
struct LookUpOrigin {
    uint32_t state;
    vt position;
    const SmallDivisor& reach;
    const IntegerWheel& wheel;
};

// One look-up's cell, its two draws taken from `random`.
inline int32_t lookUpCell(const LookUpOrigin& origin, LocalRandom& random) {
    int32_t distanceDraw, directionDraw;
    random.drawTwo(distanceDraw, directionDraw);
    const int32_t distance = origin.reach.remainder(distanceDraw);
    const vt direction = dir[origin.wheel.index(directionDraw)];
    return cellIndex(bound(sum(origin.position, scale(distance, direction))));
}

// cells[0 .. count) one look-up after another, draw by draw.
void lookUpCellsPlain(const LookUpOrigin& origin, int count, int32_t* cells);
// The same cells eight at a time; only where wideLookUpsAvailable().
void lookUpCellsWide(const LookUpOrigin& origin, int count, int32_t* cells);
bool wideLookUpsAvailable();

inline void lookUpCells(const LookUpOrigin& origin, int count, int32_t* cells) {
    static const bool wide = wideLookUpsAvailable();
    if (wide)
        lookUpCellsWide(origin, count, cells);
    else
        lookUpCellsPlain(origin, count, cells);
}

}  // namespace kesmir
