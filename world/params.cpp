#include "world/params.h"

#include "world/checks.h"

namespace kesmir {

RelaxedAtomic<int32_t> delay{kStartDelay};
RelaxedAtomic<float> PRenergy{kStartParameters.PRenergy};
RelaxedAtomic<float> HRenergy{kStartParameters.HRenergy};
RelaxedAtomic<float> CRenergy{kStartParameters.CRenergy};
RelaxedAtomic<int32_t> PNoffset{kStartParameters.PNoffset};
RelaxedAtomic<int32_t> HNoffset{kStartParameters.HNoffset};
RelaxedAtomic<int32_t> CNoffset{kStartParameters.CNoffset};
RelaxedAtomic<float> PSoffset{kStartParameters.PSoffset};
RelaxedAtomic<float> HSoffset{kStartParameters.HSoffset};
RelaxedAtomic<float> CSoffset{kStartParameters.CSoffset};
RelaxedAtomic<float> PMoffset{kStartParameters.PMoffset};
RelaxedAtomic<float> HMoffset{kStartParameters.HMoffset};
RelaxedAtomic<float> CMoffset{kStartParameters.CMoffset};
RelaxedAtomic<int32_t> PAoffset{kStartParameters.PAoffset};
RelaxedAtomic<int32_t> HAoffset{kStartParameters.HAoffset};
RelaxedAtomic<int32_t> CAoffset{kStartParameters.CAoffset};

namespace {

// Each global beside its value in a ParameterSet: resetting the globals and
// reading them both go through these tables.
template <class T>
struct Bound {
    RelaxedAtomic<T>* global;
    T ParameterSet::*value;
};

const Bound<float> kDecimals[] = {
    {&PRenergy, &ParameterSet::PRenergy}, {&HRenergy, &ParameterSet::HRenergy},
    {&CRenergy, &ParameterSet::CRenergy}, {&PSoffset, &ParameterSet::PSoffset},
    {&HSoffset, &ParameterSet::HSoffset}, {&CSoffset, &ParameterSet::CSoffset},
    {&PMoffset, &ParameterSet::PMoffset}, {&HMoffset, &ParameterSet::HMoffset},
    {&CMoffset, &ParameterSet::CMoffset},
};

const Bound<int32_t> kWholes[] = {
    {&PNoffset, &ParameterSet::PNoffset}, {&HNoffset, &ParameterSet::HNoffset},
    {&CNoffset, &ParameterSet::CNoffset}, {&PAoffset, &ParameterSet::PAoffset},
    {&HAoffset, &ParameterSet::HAoffset}, {&CAoffset, &ParameterSet::CAoffset},
};

}  // namespace

void resetParameters() {
    delay = kStartDelay;
    setParameters(kStartParameters);
}

void setParameters(const ParameterSet& values) {
    for (const auto& bound : kDecimals)
        *bound.global = values.*bound.value;
    for (const auto& bound : kWholes)
        *bound.global = values.*bound.value;
}

namespace {

template <class T, std::size_t N>
T valueOf(const ParameterSet& values, const RelaxedAtomic<T>& global, const Bound<T> (&bounds)[N]) {
    for (const auto& bound : bounds)
        if (bound.global == &global) return values.*bound.value;
    KESMIR_ASSERT(false, "a parameter global missing from the tables");
    return T{};
}

}  // namespace

float valueIn(const ParameterSet& values, const RelaxedAtomic<float>& global) {
    return valueOf(values, global, kDecimals);
}

int32_t valueIn(const ParameterSet& values, const RelaxedAtomic<int32_t>& global) {
    return valueOf(values, global, kWholes);
}

ParameterSet currentParameters() {
    ParameterSet now;
    for (const auto& bound : kDecimals)
        now.*bound.value = *bound.global;
    for (const auto& bound : kWholes)
        now.*bound.value = *bound.global;
    return now;
}

}  // namespace kesmir
