#include "sim/replenish.h"

#include <array>

#include "sim/parallel/list_pieces.h"
#include "world/counters.h"
#include "world/grid.h"

namespace kesmir {

namespace {

// Whole-grid sweeps are cut into this many cells a piece.
constexpr int32_t kCellsPerPiece = 1 << 18;
constexpr Pieces kCellPieces{kCells, kCellsPerPiece};

// Raises the levels of cells [begin, end) and returns the highest new level
// (-100000.0 if none is higher).
float replenishCells(int32_t begin, int32_t end, double inflow) {
    float highest = -100000.0f;
    float* nutrient = E.nutrient;
    for (int32_t cell = begin; cell < end; ++cell) {
        const float level =
            static_cast<float>(inflow + static_cast<double>(relaxedLoad(nutrient[cell])));
        relaxedStore(nutrient[cell], level);
        if (level > highest) highest = level;
    }
    return highest;
}

}  // namespace

void replenish(float total) {
    const float share = total / static_cast<float>(kCells);
    // 0.7 + share in double, plus the level in double, narrowed on store.
    const double inflow = 0.7 + static_cast<double>(share);
    std::array<float, (kCells - 1) / kCellsPerPiece + 1> highestOf;
    forEachPiece(kCellPieces.size(), [&](int32_t piece) {
        highestOf[piece] = replenishCells(kCellPieces.begin(piece), kCellPieces.end(piece), inflow);
    });
    // Taken piece by piece in cell order with the same strict test, the
    // highest is the one a single sweep finds.
    float highest = -100000.0f;
    for (const float h : highestOf)
        if (h > highest) highest = h;
    emax = highest;
}

}  // namespace kesmir
