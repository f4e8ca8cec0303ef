// The two lines every cycle reports before its steps run: the console status
// line and the line of the population log "dt.dat".
#pragma once

#include <ctime>
#include <string>

namespace kesmir {

// "%4d %8d %7d %6d    %7.2f %7.2f %7.2f %7.2f  " with kk, the three counts and
// pmax, hmax, cmax, emax; the time stamp follows on the same line.
std::string statusLine();

// The local time as HH:MM:SS and a newline.
std::string stamp(const std::tm& localTime);
std::string stamp();

// "%d %d %d %d    %d %d %d\n" with kk, the three counts, Peat, Heat, Ceat.
std::string populationLogLine();

}  // namespace kesmir
