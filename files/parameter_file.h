// Parameter settings as text: "NAME = VALUE", one per line in a parameter
// file (blank lines and '#' comments allowed), or "NAME=VALUE" on the
// command line. --print-params writes such a file, --params reads it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "world/named_params.h"

namespace kesmir {

struct ParameterSetting {
    const NamedParameter* parameter;
    ParameterValue value;
};

// `text` without blanks, tabs and carriage returns at either end.
std::string_view trimmed(std::string_view text);

// Calls `read` with each line of a "NAME = VALUE" file that holds more than
// a comment, trimmed, and its number; when `read` returns false with its
// reason, stops with `error` "<source> line N: <reason>".
bool forEachSettingLine(std::string_view text, const std::string& source, std::string& error,
                        const std::function<bool(std::string_view, int, std::string&)>& read);

// One "NAME=VALUE" (blanks around either allowed). On failure `error` says
// what is wrong, naming the parameter or the text.
bool parseParameterSetting(std::string_view text, ParameterSetting& setting, std::string& error);

// A whole file's text; on failure `error` begins with "<source> line N: ".
bool parseParameterFile(std::string_view text, const std::string& source,
                        std::vector<ParameterSetting>& settings, std::string& error);

// The file at `path`, read and parsed; `error` names the file.
bool readParameterFile(const std::string& path, std::vector<ParameterSetting>& settings,
                       std::string& error);

// Every parameter's current value, one line each, in the table's order.
std::string parameterFileText();

}  // namespace kesmir
