// One run of a sweep, as every engine starts it ("kesmir sweep run DIR N"):
// under the run's lock, unless it has finished, kesmir is started in the
// run's folder with its parameter file and settings, resumed from its
// checkpoint when it has one (else started afresh), and how it ended is
// written to the folder. SIGINT, SIGTERM and SIGHUP are passed on to kesmir
// and leave the run unfinished, to be resumed the next time.
#pragma once

#include <cstddef>
#include <string>

namespace kesmir {

// The exit code: 0 when the run has finished (now or before) or another
// process is running it, 1 when it failed, 2 when it could not be started,
// 128 + the signal when a signal stopped it.
int runOneRun(const std::string& dir, std::size_t run);

}  // namespace kesmir
