// One counted field's distribution over the whole run as a picture: cycles
// across, the field's values up (0 at the bottom), each cell's shade the
// share of the kind holding that value then. The history's columns are
// reduced to the picture's width: a pixel column shows the history's
// columns whose middle cycle falls in its share of the run, summed, or, when
// none does (a short run drawn wide), the one nearest.
#pragma once

#include <cstdint>
#include <vector>

#include "display/render/palette.h"
#include "stats/trait_distributions.h"

namespace kesmir {

// Each pixel column's share of the kind holding each value: `width` rows of
// d.values shares, column after column. Empty when `d` has no columns.
std::vector<double> columnShares(const FieldDistribution& d, Kind kind, int width);

// Draws the shares into width x height pixels, `stride` pixels a row: white
// for no organism, `colour` darkened for all of them, the square root of
// the share between (so that a few percent still show).
void drawHeatMap(const std::vector<double>& shares, int values, uint32_t* pixels, int width,
                 int height, int stride, Rgb colour);

}  // namespace kesmir
