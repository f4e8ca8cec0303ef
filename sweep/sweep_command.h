// "kesmir sweep ...": the subcommands of a sweep (sweep/sweep_arguments.h),
// dispatched from main before the normal options are read. main answers
// --help itself, from the same table.
#pragma once

#include <string>
#include <vector>

#include "sweep/collect.h"

namespace kesmir {

// `arguments` are those after "sweep"; the exit code.
int sweepCommand(const std::vector<std::string>& arguments, SummaryDrawer drawSummary);

}  // namespace kesmir
