#include "sim/report_lines.h"

#include "world/counters.h"
#include "world/format.h"
#include "world/lists.h"

namespace kesmir {

std::string statusLine() {
    return formatted("%4d %8d %7d %6d    %7.2f %7.2f %7.2f %7.2f  ", int(kk), int(Ppop), int(Hpop),
                     int(Cpop), double(pmax), double(hmax), double(cmax), double(emax));
}

std::string stamp(const std::tm& localTime) {
    return formatted("%02d:%02d:%02d\n", localTime.tm_hour, localTime.tm_min, localTime.tm_sec);
}

std::string stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm localTime{};
    localtime_r(&now, &localTime);
    return stamp(localTime);
}

std::string populationLogLine() {
    return formatted("%d %d %d %d    %d %d %d\n", int(kk), int(Ppop), int(Hpop), int(Cpop), Peat,
                     Heat, Ceat);
}

}  // namespace kesmir
