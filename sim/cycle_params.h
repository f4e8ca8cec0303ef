// The parameter values of the cycle under way. The simulation thread copies
// the globals (world/params.h) once, at the cycle's start, and every step of
// the cycle reads the copy, on every thread: a value changed while a cycle
// runs (a dialog's arrow, say) takes effect from the next cycle, whatever the
// number of threads.
#pragma once

#include "world/params.h"

namespace kesmir {

namespace detail {
extern ParameterSet cycleParameters;
}

inline const ParameterSet& cycleParams() {
    return detail::cycleParameters;
}

// Simulation thread, before a cycle's steps, with no worker busy: copies the
// globals. The workers see the copy through the pool's hand-over of a task.
void takeCycleParams();

}  // namespace kesmir
