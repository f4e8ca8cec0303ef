#include "world/counters.h"

#include "world/lists.h"

namespace kesmir {

RelaxedAtomic<int32_t> kk{0};
int32_t newPpop = 0;
int32_t newHpop = 0;
int32_t newCpop = 0;
int32_t Peat = 0;
int32_t Heat = 0;
int32_t Ceat = 0;
float pmin = 0, pmax = 0, hmin = 0, hmax = 0, cmin = 0, cmax = 0;
float emax = 0;

void resetCounters() {
    kk = 0;
    newPpop = newHpop = newCpop = 0;
    Peat = Heat = Ceat = 0;
    pmin = pmax = hmin = hmax = cmin = cmax = 0;
    emax = 0;
    Ppop = kStartPlants;
    Hpop = kStartHerbivores;
    Cpop = kStartCarnivores;
}

}  // namespace kesmir
