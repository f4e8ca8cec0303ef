// Counters and extremes the cycle writes and the status line, the population
// log and the overlay report.
#pragma once

#include <cstdint>

#include "world/shared_access.h"

namespace kesmir {

extern RelaxedAtomic<int32_t> kk;  // cycles completed; the overlay reads it

extern int32_t newPpop;  // newborns of the current cycle
extern int32_t newHpop;
extern int32_t newCpop;

extern int32_t Peat;  // plants eaten in the last feeding step
extern int32_t Heat;  // herbivores eaten in the last feeding step
extern int32_t Ceat;  // carnivores dead of old age in the last death step

// Energy extremes of the records kept by the last cull.
extern float pmin, pmax, hmin, hmax, cmin, cmax;
extern float emax;  // highest nutrient level after the last replenishment

// Counters and extremes back to their start values, population
// counts back to those a new world is seeded with.
void resetCounters();

}  // namespace kesmir
