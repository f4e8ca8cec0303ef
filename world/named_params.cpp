#include "world/named_params.h"

#include <array>
#include <charconv>
#include <cmath>
#include <type_traits>

#include "world/params.h"

namespace kesmir {

namespace {

constexpr std::array<NamedParameter, 15> kParameters{{
    {"PMoffset", &PMoffset},
    {"HMoffset", &HMoffset},
    {"CMoffset", &CMoffset},
    {"PSoffset", &PSoffset},
    {"HSoffset", &HSoffset},
    {"CSoffset", &CSoffset},
    {"PRenergy", &PRenergy},
    {"HRenergy", &HRenergy},
    {"CRenergy", &CRenergy},
    {"PNoffset", &PNoffset},
    {"HNoffset", &HNoffset},
    {"CNoffset", &CNoffset},
    {"PAoffset", &PAoffset},
    {"HAoffset", &HAoffset},
    {"CAoffset", &CAoffset},
}};

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

ParameterValue parameterValue(const NamedParameter& parameter) {
    if (auto* decimal = std::get_if<RelaxedAtomic<float>*>(&parameter.global))
        return float(**decimal);
    return int32_t(*std::get<RelaxedAtomic<int32_t>*>(parameter.global));
}

bool setParameter(const NamedParameter& parameter, ParameterValue value) {
    if (value.index() != parameter.global.index()) return false;
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
    if (std::holds_alternative<RelaxedAtomic<float>*>(parameter.global)) {
        float decimal = 0;
        if (parseWhole(number, decimal, error) && std::isfinite(decimal)) {
            value = decimal;
            return true;
        }
        why = error == std::errc::result_out_of_range ? "is outside the range of a float"
                                                      : "is not a finite decimal number";
        return false;
    }
    int32_t integer = 0;
    if (parseWhole(number, integer, error)) {
        value = integer;
        return true;
    }
    why = error == std::errc::result_out_of_range ? "is outside the range -2147483648..2147483647"
                                                  : "is not a whole number";
    return false;
}

}  // namespace kesmir
