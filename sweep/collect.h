// "kesmir sweep collect DIR": the runs' own files gathered into one table,
// "results.csv" (one row per run and logged cycle), "summary.csv" (per
// parameter combination and cycle, the mean, lowest and highest over the
// seeds) and the picture "summary.png". Every file is read as a stream, so
// memory does not grow with the runs or their cycles.
#pragma once

#include <string>

#include "display/summary_picture.h"
#include "sweep/sweep_folder.h"

namespace kesmir {

// Draws "summary.png"; nullptr in a build without Qt.
using SummaryDrawer = bool (*)(const SummaryPicture&, const std::string&, std::string&);

inline constexpr const char* kResultsFile = "results.csv";
inline constexpr const char* kSummaryFile = "summary.csv";
inline constexpr const char* kSummaryPictureFile = "summary.png";

// The exit code: 0 when the files are written (unfinished runs are listed
// on stderr, their rows so far included), 1 when a run's file could not be
// read whole or a file not written.
int collectSweep(const Sweep& sweep, SummaryDrawer drawSummary);

}  // namespace kesmir
