// The model's tunable parameters. The dialogs, --set, --params and
// checkpoints write the globals below, the dialogs on the window thread
// while a cycle may be running; so no step reads them. The simulation copies
// them into one ParameterSet at the start of every cycle (sim/cycle_params.h),
// and every step of that cycle, on every thread, reads the copy.
#pragma once

#include <cstdint>

#include "world/shared_access.h"

namespace kesmir {

// One value of every parameter; as declared, the values a run starts with.
struct ParameterSet {
    float PRenergy = 12.5f;  // reproduction thresholds
    float HRenergy = 65.0f;
    float CRenergy = 35.5f;

    int32_t PNoffset = 5;  // added to the senescence genes
    int32_t HNoffset = 19;
    int32_t CNoffset = 39;

    float PSoffset = 29.1f;  // added to the satiety genes
    float HSoffset = 56.1f;
    float CSoffset = 1.2f;

    float PMoffset = 3.1f;  // added to the metabolism genes
    float HMoffset = 4.2f;
    float CMoffset = 5.3f;

    int32_t PAoffset = 1;  // edited by the maturity dialog; no step reads it
    int32_t HAoffset = 1;  // added to the maturity genes
    int32_t CAoffset = 3;

    bool operator==(const ParameterSet&) const = default;
};

inline constexpr ParameterSet kStartParameters{};
inline constexpr int32_t kStartDelay = 3;

extern RelaxedAtomic<int32_t> delay;  // ms slept before every cycle and frame

extern RelaxedAtomic<float> PRenergy;
extern RelaxedAtomic<float> HRenergy;
extern RelaxedAtomic<float> CRenergy;
extern RelaxedAtomic<int32_t> PNoffset;
extern RelaxedAtomic<int32_t> HNoffset;
extern RelaxedAtomic<int32_t> CNoffset;
extern RelaxedAtomic<float> PSoffset;
extern RelaxedAtomic<float> HSoffset;
extern RelaxedAtomic<float> CSoffset;
extern RelaxedAtomic<float> PMoffset;
extern RelaxedAtomic<float> HMoffset;
extern RelaxedAtomic<float> CMoffset;
extern RelaxedAtomic<int32_t> PAoffset;
extern RelaxedAtomic<int32_t> HAoffset;
extern RelaxedAtomic<int32_t> CAoffset;

// Lowest speeds, added in the speed report; nothing changes them.
constexpr int32_t Hmin = 1;
constexpr int32_t Cmin = 3;

// Puts every parameter back to its start value (delay included).
void resetParameters();

// The globals' values at this moment.
ParameterSet currentParameters();

// Sets every global (delay apart) to its value in `values`.
void setParameters(const ParameterSet& values);

// The value `values` holds for the parameter whose global is `global`.
float valueIn(const ParameterSet& values, const RelaxedAtomic<float>& global);
int32_t valueIn(const ParameterSet& values, const RelaxedAtomic<int32_t>& global);

}  // namespace kesmir
