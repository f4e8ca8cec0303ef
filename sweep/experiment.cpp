#include "sweep/experiment.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "files/parameter_file.h"
#include "files/safe_file.h"
#include "world/named_params.h"

namespace kesmir {

namespace {

// The settings of a run besides the model's parameters: each is the kesmir
// option of the same name, a whole number. No fallback: not passed on
// unless named (cycles must be named).
struct SettingRule {
    const char* name;
    int64_t lowest;
    int64_t highest;
    const char* fallback;
};

// A checkpoint every 200 cycles: an interrupted run loses at most about 40 s
// of one core (0.2 s a cycle), while writing the default world's checkpoint
// (about 0.6 s) costs some 1.5% of the run.
constexpr std::array<SettingRule, 7> kSettings{{
    {"seed", 0, std::numeric_limits<uint32_t>::max(), "1"},
    {"cycles", 0, std::numeric_limits<int32_t>::max(), nullptr},
    {"threads", 1, 256, "1"},
    {"checkpoint-every", 0, std::numeric_limits<int32_t>::max(), "200"},
    {"png-every", 0, std::numeric_limits<int32_t>::max(), nullptr},
    {"traits-every", 0, std::numeric_limits<int32_t>::max(), nullptr},
    {"histograms-every", 0, std::numeric_limits<int32_t>::max(), nullptr},
}};

// "seed, cycles, ..." or, with their defaults, "seed (default 1), cycles
// (required), ...".
std::string settingsText(bool withDefaults) {
    std::string text;
    for (const SettingRule& rule : kSettings) {
        text += text.empty() ? "" : ", ";
        text += rule.name;
        if (!withDefaults) continue;
        if (rule.fallback != nullptr)
            text += std::string(" (default ") + rule.fallback + ")";
        else if (std::string_view(rule.name) == "cycles")
            text += " (required)";
    }
    return text;
}

const SettingRule* findSetting(std::string_view name) {
    for (const SettingRule& rule : kSettings)
        if (name == rule.name) return &rule;
    return nullptr;
}

bool parseWhole(std::string_view text, int64_t& value) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The double nearest the text (already read as a finite float).
double exactDecimal(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    return value;
}

// The type of one name's values: a setting's whole-number range, or a
// model parameter (float or int32).
struct ValueType {
    const SettingRule* setting = nullptr;
    const NamedParameter* parameter = nullptr;

    bool isDecimal() const {
        return parameter != nullptr &&
               std::holds_alternative<RelaxedAtomic<float>*>(parameter->global);
    }

    // One value read as a number of this type: a whole number, or a float
    // widened to double.
    bool read(std::string_view text, double& decimal, int64_t& whole, std::string& why) const {
        if (setting != nullptr) {
            if (parseWhole(text, whole) && whole >= setting->lowest && whole <= setting->highest)
                return true;
            why = "'" + std::string(text) + "' is not a whole number from " +
                  std::to_string(setting->lowest) + " to " + std::to_string(setting->highest);
            return false;
        }
        ParameterValue value;
        std::string reason;
        if (!parseParameterValue(*parameter, text, value, reason)) {
            why = "'" + std::string(text) + "' " + reason;
            return false;
        }
        // A range's values are worked out from the decimal texts, so that
        // 1.1..1.4 step 0.1 comes to 1.3 and not 1.3000001.
        if (std::holds_alternative<float>(value))
            decimal = exactDecimal(text);
        else
            whole = std::get<int32_t>(value);
        return true;
    }

    std::string text(double decimal, int64_t whole) const {
        if (isDecimal()) return parameterValueText(float(decimal));
        if (parameter != nullptr) return parameterValueText(int32_t(whole));
        return std::to_string(whole);
    }
};

// "A..B" or "A..B step S", appended to `values`.
bool expandRange(std::string_view item, std::size_t dots, const ValueType& type,
                 std::vector<std::string>& values, std::string& why) {
    const std::string_view from = trimmed(item.substr(0, dots));
    std::string_view to = trimmed(item.substr(dots + 2));
    std::string_view step = "1";
    if (const auto word = to.find("step"); word != std::string_view::npos) {
        step = trimmed(to.substr(word + 4));
        to = trimmed(to.substr(0, word));
    }
    double firstDecimal = 0, lastDecimal = 0, stepDecimal = 0;
    int64_t firstWhole = 0, lastWhole = 0, stepWhole = 0;
    if (!type.read(from, firstDecimal, firstWhole, why) ||
        !type.read(to, lastDecimal, lastWhole, why))
        return false;
    const bool decimal = type.isDecimal();
    std::string ignored;
    const bool stepRead =
        decimal ? type.read(step, stepDecimal, stepWhole, ignored) : parseWhole(step, stepWhole);
    if (!stepRead || (decimal ? !(stepDecimal > 0) : stepWhole <= 0)) {
        why = "the step of '" + std::string(item) + "' is not a number above 0";
        return false;
    }
    if (decimal ? lastDecimal < firstDecimal : lastWhole < firstWhole) {
        why = "the range '" + std::string(item) + "' ends below its start";
        return false;
    }
    // A decimal range includes its end despite rounding in the step.
    const double count = decimal ? std::floor((lastDecimal - firstDecimal) / stepDecimal + 1e-9) + 1
                                 : double((lastWhole - firstWhole) / stepWhole) + 1;
    if (count + double(values.size()) > double(kMostRuns)) {
        why = "the range '" + std::string(item) + "' has more than " + std::to_string(kMostRuns) +
              " values";
        return false;
    }
    for (int64_t i = 0; i < int64_t(count); ++i)
        values.push_back(
            type.text(firstDecimal + double(i) * stepDecimal, firstWhole + i * stepWhole));
    return true;
}

bool parseValues(std::string_view text, const ValueType& type, std::vector<std::string>& values,
                 std::string& why) {
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = trimmed(text.substr(0, comma));
        if (item.empty()) {
            why = "a value is missing";
            return false;
        }
        if (const auto dots = item.find(".."); dots != std::string_view::npos) {
            if (!expandRange(item, dots, type, values, why)) return false;
        } else {
            double decimal = 0;
            int64_t whole = 0;
            if (!type.read(item, decimal, whole, why)) return false;
            values.push_back(type.text(decimal, whole));
        }
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

bool parseLine(std::string_view line, Experiment& experiment, int lineNumber, std::string& why) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
        why = "'" + std::string(line) + "' is not of the form NAME = VALUE";
        return false;
    }
    ExperimentAxis axis;
    axis.name = std::string(trimmed(line.substr(0, equals)));
    axis.line = lineNumber;
    ValueType type;
    type.setting = findSetting(axis.name);
    type.parameter = findParameter(axis.name);
    if (type.setting == nullptr && type.parameter == nullptr) {
        why = "unknown name '" + axis.name + "' (a parameter of kesmir --print-params, or " +
              settingsText(false) + ")";
        return false;
    }
    axis.isSetting = type.setting != nullptr;
    if (const ExperimentAxis* earlier = experiment.find(axis.name)) {
        why = axis.name + " is named again (first on line " + std::to_string(earlier->line) + ")";
        return false;
    }
    if (!parseValues(line.substr(equals + 1), type, axis.values, why)) {
        why = axis.name + ": " + why;
        return false;
    }
    experiment.axes.push_back(std::move(axis));
    return true;
}

}  // namespace

std::size_t Experiment::runCount() const {
    std::size_t count = 1;
    for (const ExperimentAxis& axis : axes)
        count *= axis.values.size();
    return count;
}

std::vector<std::size_t> Experiment::choiceOf(std::size_t run) const {
    std::vector<std::size_t> choice(axes.size());
    for (std::size_t i = axes.size(); i-- > 0;) {
        choice[i] = run % axes[i].values.size();
        run /= axes[i].values.size();
    }
    return choice;
}

const ExperimentAxis* Experiment::find(std::string_view name) const {
    for (const ExperimentAxis& axis : axes)
        if (axis.name == name) return &axis;
    return nullptr;
}

bool parseExperiment(std::string_view text, const std::string& source, Experiment& experiment,
                     std::string& error) {
    experiment = {};
    const bool read = forEachSettingLine(
        text, source, error, [&](std::string_view line, int number, std::string& why) {
            if (!parseLine(line, experiment, number, why)) return false;
            if (experiment.runCount() <= kMostRuns) return true;
            why = "more than " + std::to_string(kMostRuns) + " runs";
            return false;
        });
    if (!read) return false;
    for (const SettingRule& rule : kSettings) {
        if (experiment.find(rule.name) != nullptr) continue;
        if (rule.fallback == nullptr && std::string_view(rule.name) == "cycles") {
            error = source + ": cycles is missing: say how many cycles each run goes (cycles = N)";
            return false;
        }
        if (rule.fallback != nullptr)
            experiment.axes.push_back({rule.name, {rule.fallback}, 0, true});
    }
    return true;
}

bool readExperiment(const std::string& path, Experiment& experiment, std::string& error) {
    std::string text;
    if (readWholeFile(path, text, error, 1 << 20) != ReadStatus::ok) return false;
    return parseExperiment(text, path, experiment, error);
}

std::string experimentSettingsText() {
    return settingsText(true);
}

int64_t settingNumber(const std::string& text) {
    int64_t value = 0;
    parseWhole(text, value);
    return value;
}

}  // namespace kesmir
