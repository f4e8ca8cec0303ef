#include "files/parameter_file.h"

#include "files/safe_file.h"

namespace kesmir {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool forEachSettingLine(std::string_view text, const std::string& source, std::string& error,
                        const std::function<bool(std::string_view, int, std::string&)>& read) {
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
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
        error = "'" + std::string(text) + "' is not of the form NAME=VALUE";
        return false;
    }
    const std::string_view name = trimmed(text.substr(0, equals));
    const std::string_view value = trimmed(text.substr(equals + 1));
    setting.parameter = findParameter(name);
    if (setting.parameter == nullptr) {
        error = "unknown parameter '" + std::string(name) + "' (see kesmir --print-params)";
        return false;
    }
    std::string why;
    if (!parseParameterValue(*setting.parameter, value, setting.value, why)) {
        error = std::string(name) + ": '" + std::string(value) + "' " + why;
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
    if (readWholeFile(path, text, error) != ReadStatus::ok) return false;
    return parseParameterFile(text, path, settings, error);
}

std::string parameterFileText() {
    std::string text = "# The Kesmir's model parameters; read back with kesmir --params FILE\n";
    for (const NamedParameter& parameter : namedParameters())
        text += std::string(parameter.name) + " = " + parameterText(parameter) + "\n";
    return text;
}

}  // namespace kesmir
