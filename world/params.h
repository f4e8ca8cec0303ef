// The model's tunable parameters. The dialogs change them on the window
// thread, so each is a relaxed atomic that the steps read afresh at every use.
#pragma once

#include <cstdint>

#include "world/shared_access.h"

namespace kesmir {

extern RelaxedAtomic<int32_t> delay;  // ms slept before every cycle and frame

extern RelaxedAtomic<float> PRenergy;  // reproduction thresholds
extern RelaxedAtomic<float> HRenergy;
extern RelaxedAtomic<float> CRenergy;

extern RelaxedAtomic<int32_t> PNoffset;  // added to the senescence genes
extern RelaxedAtomic<int32_t> HNoffset;
extern RelaxedAtomic<int32_t> CNoffset;

extern RelaxedAtomic<float> PSoffset;  // added to the satiety genes
extern RelaxedAtomic<float> HSoffset;
extern RelaxedAtomic<float> CSoffset;

extern RelaxedAtomic<float> PMoffset;  // added to the metabolism genes
extern RelaxedAtomic<float> HMoffset;
extern RelaxedAtomic<float> CMoffset;

extern RelaxedAtomic<int32_t> PAoffset;  // edited by the maturity dialog; no step reads it
extern RelaxedAtomic<int32_t> HAoffset;  // added to the maturity genes
extern RelaxedAtomic<int32_t> CAoffset;

// Lowest speeds, added in the speed report; nothing changes them.
constexpr int32_t Hmin = 1;
constexpr int32_t Cmin = 3;

// Puts every parameter back to its start value (delay included).
void resetParameters();

}  // namespace kesmir
