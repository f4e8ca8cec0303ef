// Reads a table out of Markdown text, such as this project's README.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kesmir::packaging {

using TableRow = std::vector<std::string>;

// The body rows of the table whose heading row is exactly `heading` (e.g.
// "| Key | Action |"), each cell trimmed; empty when there is no such table.
// A "|" inside `code` or written "\|" belongs to its cell.
std::vector<TableRow> markdownTable(std::string_view markdown, std::string_view heading);

}  // namespace kesmir::packaging
