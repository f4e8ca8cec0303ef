// What the window asks of the simulation between cycles: to wait while a
// parameter dialog is open. The window asks and lets go through PauseRequest
// alone; the simulation honours it in waitWhilePaused.
#pragma once

namespace kesmir {

// While one exists the simulation waits at its next cycle boundary.
// Parameters written meanwhile are seen by the simulation when it goes on:
// letting go (release) publishes them to the simulation's look (acquire)
// that finds no request left.
class PauseRequest {
  public:
    PauseRequest();
    ~PauseRequest();
    PauseRequest(const PauseRequest&) = delete;
    PauseRequest& operator=(const PauseRequest&) = delete;
};

// True while a pause is asked for, and from load until the simulation
// starts, so that the overlay shows "PAUSED" until the first cycle.
bool simulationPaused();

// Simulation thread, as the run starts: the wait since load is over.
void startRunControl();

// Simulation thread, at a cycle boundary: returns once nothing asks for a
// pause, parking for holds of the cycle gate meanwhile.
void waitWhilePaused();

// Asks the run to end (Q, closing the window, the process ending): the
// simulation starts no further cycle and leaves a pause, returning from its
// loop; a cycle under way is not cut short. Any thread.
void requestQuit();
bool quitRequested();

// Back to the state at load: not started, no pause asked for, no quit asked for.
void resetRunControl();

}  // namespace kesmir
