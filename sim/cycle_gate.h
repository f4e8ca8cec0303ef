// Lets another thread hold the simulation at a cycle boundary for a moment,
// e.g. to copy a spot sample of records that are all whole and all of one
// moment. The simulation thread only checks a flag per cycle unless a hold is
// asked for.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace kesmir {

class CycleGate {
  public:
    // Window thread: returns once the simulation is parked at a boundary (or
    // is not running); it stays parked until release().
    void hold();
    void release();

    // Simulation thread: parks here while a hold is asked for.
    void checkpoint();
    void setRunning(bool running);

  private:
    std::atomic<bool> requested_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool parked_ = false;
    bool running_ = false;
};

extern CycleGate cycleGate;

// Holds the simulation for the lifetime of the object.
class CycleHold {
  public:
    CycleHold() { cycleGate.hold(); }
    ~CycleHold() { cycleGate.release(); }
    CycleHold(const CycleHold&) = delete;
    CycleHold& operator=(const CycleHold&) = delete;
};

}  // namespace kesmir
