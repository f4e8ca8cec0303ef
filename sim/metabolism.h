// Metabolism, nutrient replenishment and death.
#pragma once

namespace kesmir {

// Charges every organism its metabolic cost, ages it by one and returns the
// total cost charged (summed in single precision, in list order).
float metabolize();

// Spreads `total` evenly over every cell, adds the inflow of 0.7 and records
// the highest level in emax.
void replenish(float total);

// Marks the starved and the old as dead; the old hand their energy to their cell.
void die();

}  // namespace kesmir
