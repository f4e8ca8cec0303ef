// What the window asks of the simulation between cycles.
#pragma once

#include <atomic>

namespace kesmir {

// The simulation waits between cycles while `pause` is set; a parameter
// written before `pause` is cleared (release) is seen by the simulation once
// it reads `pause` clear (acquire). Set at load, so that nothing runs before
// the simulation thread starts.
extern std::atomic<bool> pause;

// `pause` back to its start value.
void resetRunControl();

}  // namespace kesmir
