// "nut.dat": the nutrient layer, one "%f " value per cell in the grid's
// linear order (row 0 from column 0 to 3499, then row 1, ...), no line breaks.
#pragma once

namespace kesmir {

inline constexpr const char* kNutrientFile = "nut.dat";

// Writes the file from the live grid: the levels are copied first (a moment),
// then formatted and written safely; a failure is told on stderr and the old
// file stays.
void logNutrients();

// The same, with the formatting and writing done on a background thread, so
// the window stays responsive; returns once the levels are copied.
void logNutrientsInBackground();

// Reads the file into the nutrient levels. A file that cannot be opened, or
// one that is short, malformed or holds a non-finite number (told on stderr),
// leaves a fresh layer instead (initEcosystem).
void loadNutrients();

}  // namespace kesmir
