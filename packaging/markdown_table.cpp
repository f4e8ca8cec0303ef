#include "packaging/markdown_table.h"

namespace kesmir::packaging {

namespace {

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// "| a | `b|c` |" -> {"a", "`b|c`"}
TableRow cells(std::string_view line) {
    TableRow row;
    std::string cell;
    bool inCode = false;
    for (std::size_t i = 1; i < line.size(); ++i) {  // past the leading '|'
        const char c = line[i];
        if (c == '`') inCode = !inCode;
        if (c == '\\' && i + 1 < line.size() && line[i + 1] == '|' && !inCode) {
            cell += '|';
            ++i;
        } else if (c == '|' && !inCode) {
            row.push_back(trimmed(cell));
            cell.clear();
        } else {
            cell += c;
        }
    }
    return row;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const auto end = text.find('\n');
        result.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return result;
}

}  // namespace

std::vector<TableRow> markdownTable(std::string_view markdown, std::string_view heading) {
    const std::vector<std::string_view> all = lines(markdown);
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] != heading) continue;
        // Past the heading and the |---| row below it, to the first line that is no row.
        for (std::size_t j = i + 2; j < all.size() && all[j].starts_with('|'); ++j)
            rows.push_back(cells(all[j]));
        break;
    }
    return rows;
}

}  // namespace kesmir::packaging
