#include "sim/cycle_params.h"

#include "sim/parallel/worker_pool.h"
#include "world/checks.h"

namespace kesmir {

ParameterSet detail::cycleParameters = kStartParameters;

void takeCycleParams() {
    KESMIR_ASSERT(!simulationPool().busy(), "the cycle's parameters taken while a step runs");
    detail::cycleParameters = currentParameters();
}

}  // namespace kesmir
