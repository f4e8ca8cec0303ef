// The population log "dt.dat": emptied at start, one line appended per cycle.
// The file is opened and closed for every line, so it is complete on disk at
// any moment, and it only ever holds whole lines: a line that cannot be
// written whole (a full disk) is cut off again and left out, told on stderr,
// and the lines of later cycles are appended once they can be written.
#pragma once

#include <string>

namespace kesmir {

inline constexpr const char* kPopulationLogFile = "dt.dat";

void startPopulationLog();
// `line` is the log line of cycle kk.
void appendPopulationLog(const std::string& line);

}  // namespace kesmir
