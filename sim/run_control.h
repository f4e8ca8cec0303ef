// What the window asks of the simulation between cycles.
#pragma once

#include <atomic>

namespace kesmir {

// The simulation waits between cycles while `pause` is set; a parameter
// written before `pause` is cleared (release) is seen by the simulation once
// it reads `pause` clear (acquire). Set at load, so that nothing runs before
// the simulation thread starts.
extern std::atomic<bool> pause;

// Asks the run to end (Q, closing the window, the process ending): the
// simulation starts no further cycle and leaves a pause, returning from its
// loop; a cycle under way is not cut short. Any thread.
void requestQuit();
bool quitRequested();

// `pause` and the quit request back to their start values.
void resetRunControl();

}  // namespace kesmir
