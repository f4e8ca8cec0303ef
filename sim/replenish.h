// Nutrient replenishment: what metabolism burnt returns to the soil.
#pragma once

namespace kesmir {

// Spreads `total` evenly over every cell, adds the inflow of 0.7 and records
// the highest level in emax.
void replenish(float total);

}  // namespace kesmir
