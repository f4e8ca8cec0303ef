// How far a sweep has come, from its runs' folders: the counts of the
// status command and of the progress line, and the failed runs' reports.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sweep/sweep_folder.h"

namespace kesmir {

struct SweepCounts {
    std::size_t finished = 0, running = 0, failed = 0, waiting = 0;
    int64_t cyclesDone = 0, cyclesTotal = 0;  // a finished run counts all its cycles
};

SweepCounts countRuns(const Sweep& sweep);

// "3 finished, 2 running, 0 failed, 4 waiting"
std::string countsText(const SweepCounts& counts);

// Each failed run: its folder, why, and the last lines of its stderr.
std::string failureReport(const Sweep& sweep);

// The status command: the counts, then the running and the failed runs.
std::string statusText(const Sweep& sweep);

// One line on stderr that is rewritten in place on a terminal, and printed
// anew elsewhere only when the counts change.
class ProgressLine {
  public:
    explicit ProgressLine(const SweepCounts& start);
    void show(const SweepCounts& counts);
    void end();  // the line is left standing

  private:
    std::chrono::steady_clock::time_point started_;
    int64_t startCycles_;
    bool terminal_;
    std::string shown_;
    std::size_t shownCounts_[4] = {SIZE_MAX, 0, 0, 0};
};

}  // namespace kesmir
