#include "sim/population_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kesmir {

namespace {

// A log that cannot be written is told once; the run goes on without it.
bool warned = false;

void warnOnce(const char* what) {
    if (warned) return;
    warned = true;
    std::fprintf(stderr, "kesmir: cannot %s %s (%s); the run goes on without a population log\n",
                 what, kPopulationLogFile, std::strerror(errno));
}

}  // namespace

void startPopulationLog() {
    warned = false;
    std::FILE* file = std::fopen(kPopulationLogFile, "w");
    if (file == nullptr) return warnOnce("empty");
    std::fclose(file);
}

void appendPopulationLog(const std::string& line) {
    std::FILE* file = std::fopen(kPopulationLogFile, "a");
    if (file == nullptr) return warnOnce("open");
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    if (std::fclose(file) != 0 || !written) warnOnce("write to");
}

}  // namespace kesmir
