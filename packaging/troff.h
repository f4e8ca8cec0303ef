// Text for a manual page: Markdown's inline text and option names as troff.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kesmir::packaging {

// `code` in bold; backslashes, and dashes that start a word or stand in code,
// escaped so that an option such as --cycles reads and copies as typed; a
// leading '.' or '\'' kept from being read as a request.
std::string troffText(std::string_view markdown);

// {"-h", "--help"} as "\fB\-h\fR, \fB\-\-help\fR".
std::string troffOptionNames(const std::vector<std::string>& names);

}  // namespace kesmir::packaging
