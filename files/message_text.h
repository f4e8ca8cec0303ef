// Bytes taken from a file, made safe to quote in a one-line message: nothing
// that could cut the message short (a NUL) or reach the terminal as a control
// sequence (ESC, CR, ...).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kesmir {

// `bytes` in double quotes, printable ASCII as it is, a backslash as "\\"
// and every other byte as "\xNN"; cut after `longest` bytes with "...".
std::string quotedForMessage(std::string_view bytes, std::size_t longest = 24);

}  // namespace kesmir
