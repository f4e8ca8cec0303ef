#include "sim/population_log.h"

#include "files/line_log.h"
#include "world/counters.h"

namespace kesmir {

namespace {

LineLog populationLog(kPopulationLogFile, kLineWording);

}  // namespace

void startPopulationLog() {
    populationLog.start();
}

void appendPopulationLog(const std::string& line) {
    populationLog.append(line, kk);
}

}  // namespace kesmir
