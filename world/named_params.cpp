#include "world/named_params.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <type_traits>

#include "world/format.h"
#include "world/params.h"

namespace kesmir {

namespace {

constexpr double kD = kDecimalBound;
constexpr double kW = kWholeBound;

constexpr std::array<NamedParameter, 15> kParameters{{
    {"PMoffset", &PMoffset, -kD, kD},
    {"HMoffset", &HMoffset, -kD, kD},
    {"CMoffset", &CMoffset, -kD, kD},
    {"PSoffset", &PSoffset, -kD, kD},
    {"HSoffset", &HSoffset, -kD, kD},
    {"CSoffset", &CSoffset, -kD, kD},
    {"PRenergy", &PRenergy, -kD, kD},
    {"HRenergy", &HRenergy, -kD, kD},
    {"CRenergy", &CRenergy, -kD, kD},
    {"PNoffset", &PNoffset, -kW, kW},
    {"HNoffset", &HNoffset, -kW, kW},
    {"CNoffset", &CNoffset, -kW, kW},
    {"PAoffset", &PAoffset, -kW, kW},
    {"HAoffset", &HAoffset, -kW, kW},
    {"CAoffset", &CAoffset, -kW, kW},
}};

double asDouble(ParameterValue value) {
    return std::visit([](auto v) { return static_cast<double>(v); }, value);
}

// from_chars takes no leading '+'; a user may well write one.
std::string_view withoutPlus(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    return text;
}

template <class T>
bool parseWhole(std::string_view text, T& value, std::errc& error) {
    const char* end = text.data() + text.size();
    std::from_chars_result result{};
    if constexpr (std::is_same_v<T, float>)
        result = std::from_chars(text.data(), end, value, std::chars_format::general);
    else
        result = std::from_chars(text.data(), end, value);
    error = result.ec;
    if (result.ec == std::errc() && result.ptr != end) error = std::errc::invalid_argument;
    return error == std::errc();
}

}  // namespace

std::span<const NamedParameter> namedParameters() {
    return kParameters;
}

const NamedParameter* findParameter(std::string_view name) {
    for (const NamedParameter& parameter : kParameters)
        if (name == parameter.name) return &parameter;
    return nullptr;
}

ParameterValue parameterValue(const NamedParameter& parameter, const ParameterSet& values) {
    if (auto* decimal = std::get_if<RelaxedAtomic<float>*>(&parameter.global))
        return valueIn(values, **decimal);
    return valueIn(values, *std::get<RelaxedAtomic<int32_t>*>(parameter.global));
}

ParameterValue parameterValue(const NamedParameter& parameter) {
    if (auto* decimal = std::get_if<RelaxedAtomic<float>*>(&parameter.global))
        return float(**decimal);
    return int32_t(*std::get<RelaxedAtomic<int32_t>*>(parameter.global));
}

const NamedParameter* parameterFor(ParameterRef global) {
    for (const NamedParameter& parameter : kParameters)
        if (parameter.global == global) return &parameter;
    return nullptr;
}

bool withinBounds(const NamedParameter& parameter, ParameterValue value) {
    const double v = asDouble(value);
    return value.index() == parameter.global.index() && v >= parameter.lowest &&
           v <= parameter.highest;
}

ParameterValue clampedToBounds(const NamedParameter& parameter, ParameterValue value) {
    const double v = asDouble(value);
    const double inside = std::isnan(v) ? 0.0 : std::clamp(v, parameter.lowest, parameter.highest);
    return std::visit([inside](auto t) { return ParameterValue(static_cast<decltype(t)>(inside)); },
                      value);
}

std::string boundsText(const NamedParameter& parameter) {
    return formatted("%.0f..%.0f", parameter.lowest, parameter.highest);
}

bool setParameter(const NamedParameter& parameter, ParameterValue value) {
    if (!withinBounds(parameter, value)) return false;
    if (auto* decimal = std::get_if<RelaxedAtomic<float>*>(&parameter.global))
        **decimal = std::get<float>(value);
    else
        *std::get<RelaxedAtomic<int32_t>*>(parameter.global) = std::get<int32_t>(value);
    return true;
}

std::string parameterValueText(ParameterValue value) {
    char text[32];
    const auto result =
        std::visit([&](auto v) { return std::to_chars(text, text + sizeof text, v); }, value);
    return std::string(text, result.ptr);
}

std::string parameterText(const NamedParameter& parameter) {
    return parameterValueText(parameterValue(parameter));
}

bool parseParameterValue(const NamedParameter& parameter, std::string_view text,
                         ParameterValue& value, std::string& why) {
    const std::string_view number = withoutPlus(text);
    std::errc error{};
    bool parsed = false;
    if (std::holds_alternative<RelaxedAtomic<float>*>(parameter.global)) {
        float decimal = 0;
        parsed = parseWhole(number, decimal, error) && std::isfinite(decimal);
        value = decimal;
        if (!parsed && error != std::errc::result_out_of_range) {
            why = "is not a finite decimal number";
            return false;
        }
    } else {
        int32_t integer = 0;
        parsed = parseWhole(number, integer, error);
        value = integer;
        if (!parsed && error != std::errc::result_out_of_range) {
            why = "is not a whole number";
            return false;
        }
    }
    if (parsed && withinBounds(parameter, value)) return true;
    why = "is outside the range " + boundsText(parameter);
    return false;
}

}  // namespace kesmir
