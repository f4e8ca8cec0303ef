// The population log "dt.dat": emptied at start, one line appended per cycle.
// The file is opened and closed for every line, so it is complete on disk at
// any moment.
#pragma once

#include <string>

namespace kesmir {

inline constexpr const char* kPopulationLogFile = "dt.dat";

void startPopulationLog();
void appendPopulationLog(const std::string& line);

}  // namespace kesmir
