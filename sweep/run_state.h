// What a run's folder says of it, whichever engine ran it: finished or
// failed (state.txt, written by the run's wrapper when kesmir has ended),
// running (a wrapper holds the lock on run.lock), or waiting.
#pragma once

#include <cstdint>
#include <string>

namespace kesmir {

inline constexpr const char* kStateFile = "state.txt";
inline constexpr const char* kLockFile = "run.lock";
inline constexpr const char* kStdoutFile = "stdout.txt";
inline constexpr const char* kStderrFile = "stderr.txt";

enum class RunState { waiting, running, finished, failed };

struct RunStatus {
    RunState state = RunState::waiting;
    std::string failure;     // why, when failed ("exit code 2")
    int64_t lastCycle = -1;  // the last cycle "dt.dat" logged, -1 for none
};

// Not to be called by the process holding the run's lock: closing the
// lock file lets go of the lock.
RunStatus runStatus(const std::string& folder);
bool runFinished(const std::string& folder);

const char* stateName(RunState state);

// "finished", or "failed: <why>", written whole.
bool writeRunState(const std::string& folder, const std::string& state, std::string& error);
bool removeRunState(const std::string& folder, std::string& error);

// Held by the one wrapper that runs the run, for as long as it runs (a
// POSIX record lock, so that it works on network file systems too, and is
// let go when the process ends however it ends).
class RunLock {
  public:
    RunLock() = default;
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;
    // False when another process holds it (or it cannot be made: `error`).
    bool take(const std::string& folder, std::string& error);

  private:
    int fd_ = -1;
};

// The last `count` lines of the file (for a failed run's stderr), each
// made safe to print.
std::string lastLines(const std::string& path, int count);

}  // namespace kesmir
