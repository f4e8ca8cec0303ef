// printf-style formatting into std::string: every line the program prints or
// writes is produced through these, with the C library's own conversions.
#pragma once

#include <string>

namespace kesmir {

[[gnu::format(printf, 2, 3)]] void appendFormatted(std::string& out, const char* format, ...);
[[gnu::format(printf, 1, 2)]] std::string formatted(const char* format, ...);

}  // namespace kesmir
