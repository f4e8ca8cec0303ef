// Lets another thread hold the simulation for a moment where the world is
// quiet, e.g. to copy a spot sample of records that are all whole and all of
// one moment: at a cycle boundary, during the `delay` sleep, while paused, and
// between the steps of a cycle where every cell slot still names a record of
// the current lists. The simulation thread only checks a flag at each such
// point unless a hold is asked for.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kesmir {

class CycleGate {
  public:
    // Returns once the simulation is parked (or is not running); it stays
    // parked until release(). One thread holds the gate at a time: release()
    // lets the simulation go whoever else still copies. The holder may ask
    // again, to wait for the park after a hold that found no simulation
    // running.
    void hold();
    void release();

    // Simulation thread: parks here while a hold is asked for.
    void checkpoint();
    // Simulation thread: sleeps for `duration`, parking for any hold asked
    // for meanwhile; the time parked counts as sleep.
    void sleepFor(std::chrono::milliseconds duration);
    void setRunning(bool running);

  private:
    void parkWhileRequested(std::unique_lock<std::mutex>& lock);

    std::atomic<bool> requested_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool parked_ = false;
    bool running_ = false;
    std::thread::id holder_;  // while requested_
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
