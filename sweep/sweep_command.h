// "kesmir sweep ...": the subcommands of a sweep, dispatched from main before
// the normal options are read.
//   kesmir sweep EXPERIMENT --out DIR [--jobs N] [--hosts FILE] [--slurm]
//   kesmir sweep status DIR
//   kesmir sweep collect DIR
//   kesmir sweep run DIR N      (one run; what every engine starts)
#pragma once

#include <string>
#include <vector>

#include "sweep/collect.h"

namespace kesmir {

// `arguments` are those after "sweep"; the exit code.
int sweepCommand(const std::vector<std::string>& arguments, SummaryDrawer drawSummary);

}  // namespace kesmir
