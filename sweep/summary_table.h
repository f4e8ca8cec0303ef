// "summary.csv": per parameter combination and cycle, how many runs logged
// the cycle and the mean, lowest and highest over them of each column of
// "results.csv"; and the same, thinned to a few hundred points, for the
// picture. A combination's runs are read together, a cycle at a time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "display/summary_picture.h"
#include "files/safe_file.h"
#include "sweep/run_rows.h"

namespace kesmir {

class SummaryTable {
  public:
    // `varied`: the axes that vary, seed left out (they name a combination).
    SummaryTable(const Sweep& sweep, const TraitColumns& columns, std::vector<std::string> varied);

    std::string header() const;

    // The rows of the combination whose runs are `runs` (all with the same
    // values but the seed); fills `panel` too when it is not null. False
    // with `error` when a run's file cannot be read (its rows stop there).
    bool add(const std::vector<std::size_t>& runs, AtomicFileWriter& out, SummaryPanel* panel,
             std::string& error);

  private:
    const Sweep& sweep_;
    const TraitColumns& columns_;
    std::vector<std::string> varied_;
    int64_t cyclesPerPoint_ = 1;  // of the picture
};

// The columns of "results.csv" after the cycle.
std::vector<std::string> valueColumns(const TraitColumns& columns);

// A statistic as summary.csv writes it.
void appendStatistic(std::string& out, double value);

}  // namespace kesmir
