#include "files/parameter_file.h"

#include "files/message_text.h"
#include "files/safe_file.h"

namespace kesmir {

namespace {

// A parameter file lists fifteen short lines; these leave room for any
// amount of comment a person writes and refuse anything else from its size.
constexpr std::uint64_t kLargestParameterFile = 1 << 20;
constexpr std::size_t kLongestLine = 4096;

// Some editors begin a UTF-8 file with the encoding of U+FEFF.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Quoted names and values are kept short: a parameter's text is no longer.
constexpr std::size_t kLongestQuote = 40;

std::string quoted(std::string_view text) {
    return quotedForMessage(text, kLongestQuote);
}

}  // namespace

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool forEachSettingLine(std::string_view text, const std::string& source, std::string& error,
                        const std::function<bool(std::string_view, int, std::string&)>& read) {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.size() > kLongestLine) {
            error = source + " line " + std::to_string(lineNumber) + ": longer than " +
                    std::to_string(kLongestLine) + " bytes";
            return false;
        }
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        std::string why;
        if (!read(line, lineNumber, why)) {
            error = source + " line " + std::to_string(lineNumber) + ": " + why;
            return false;
        }
    }
    return true;
}

bool parseParameterSetting(std::string_view text, ParameterSetting& setting, std::string& error) {
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        error = quoted(text) + " is not of the form NAME=VALUE";
        return false;
    }
    const std::string_view name = trimmed(text.substr(0, equals));
    const std::string_view value = trimmed(text.substr(equals + 1));
    setting.parameter = findParameter(name);
    if (setting.parameter == nullptr) {
        error = "unknown parameter " + quoted(name) + " (see kesmir --print-params)";
        return false;
    }
    std::string why;
    if (!parseParameterValue(*setting.parameter, value, setting.value, why)) {
        error = std::string(name) + ": " + quoted(value) + " " + why;
        return false;
    }
    return true;
}

bool parseParameterFile(std::string_view text, const std::string& source,
                        std::vector<ParameterSetting>& settings, std::string& error) {
    return forEachSettingLine(text, source, error,
                              [&](std::string_view line, int, std::string& why) {
                                  ParameterSetting setting{};
                                  if (!parseParameterSetting(line, setting, why)) return false;
                                  settings.push_back(setting);
                                  return true;
                              });
}

bool readParameterFile(const std::string& path, std::vector<ParameterSetting>& settings,
                       std::string& error) {
    std::string text;
    if (readWholeFile(path, text, error, kLargestParameterFile) != ReadStatus::ok) return false;
    return parseParameterFile(text, path, settings, error);
}

std::string parameterFileText() {
    std::string text = "# The Kesmir's model parameters; read back with kesmir --params FILE\n";
    for (const NamedParameter& parameter : namedParameters())
        text += std::string(parameter.name) + " = " + parameterText(parameter) + "\n";
    return text;
}

}  // namespace kesmir
