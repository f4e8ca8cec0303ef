#include "world/params.h"

namespace kesmir {

RelaxedAtomic<int32_t> delay{3};
RelaxedAtomic<float> PRenergy{12.5f};
RelaxedAtomic<float> HRenergy{65.0f};
RelaxedAtomic<float> CRenergy{35.5f};
RelaxedAtomic<int32_t> PNoffset{5};
RelaxedAtomic<int32_t> HNoffset{19};
RelaxedAtomic<int32_t> CNoffset{39};
RelaxedAtomic<float> PSoffset{29.1f};
RelaxedAtomic<float> HSoffset{56.1f};
RelaxedAtomic<float> CSoffset{1.2f};
RelaxedAtomic<float> PMoffset{3.1f};
RelaxedAtomic<float> HMoffset{4.2f};
RelaxedAtomic<float> CMoffset{5.3f};
RelaxedAtomic<int32_t> PAoffset{1};
RelaxedAtomic<int32_t> HAoffset{1};
RelaxedAtomic<int32_t> CAoffset{3};

void resetParameters() {
    delay = 3;
    PRenergy = 12.5f;
    HRenergy = 65.0f;
    CRenergy = 35.5f;
    PNoffset = 5;
    HNoffset = 19;
    CNoffset = 39;
    PSoffset = 29.1f;
    HSoffset = 56.1f;
    CSoffset = 1.2f;
    PMoffset = 3.1f;
    HMoffset = 4.2f;
    CMoffset = 5.3f;
    PAoffset = 1;
    HAoffset = 1;
    CAoffset = 3;
}

}  // namespace kesmir
