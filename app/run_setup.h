// Puts the model where the run starts: the world allocated, then either a
// checkpoint read back or the generator seeded for a new world, then the
// parameters of --set and --params applied on top, in the order given.
#pragma once

#include <string>

#include "app/options.h"

namespace kesmir {

// False with one line in `error` (a checkpoint or parameter file that cannot
// be used); the run must not start then.
bool setUpRun(const Options& options, std::string& error);

}  // namespace kesmir
