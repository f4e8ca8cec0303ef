// Every model parameter the dialogs change, by its name in the code. The
// command line, the parameter file, --print-params and the checkpoint all
// read this one table, so a new parameter is one more row here.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "world/shared_access.h"

namespace kesmir {

// Points at a parameter's global: a decimal (float) or an integer (int32) one.
using ParameterRef = std::variant<RelaxedAtomic<float>*, RelaxedAtomic<int32_t>*>;

// A value of either type, as read from text or a checkpoint.
using ParameterValue = std::variant<float, int32_t>;

struct NamedParameter {
    const char* name;
    ParameterRef global;
};

// In the order of the dialogs: metabolism, satiety, reproduction,
// senescence, maturity; plant, herbivore, carnivore within each.
std::span<const NamedParameter> namedParameters();

// The row of that name (case matters), or nullptr.
const NamedParameter* findParameter(std::string_view name);

ParameterValue parameterValue(const NamedParameter& parameter);

// False (and nothing set) when the value's type is not the parameter's.
bool setParameter(const NamedParameter& parameter, ParameterValue value);

// The shortest decimal text that reads back to exactly the same value.
std::string parameterValueText(ParameterValue value);
std::string parameterText(const NamedParameter& parameter);

// Reads `text` as a value of the parameter's type: a finite float, or a
// whole number in the int32 range, with nothing before or after it.
// On failure `why` says what is wrong with the text.
bool parseParameterValue(const NamedParameter& parameter, std::string_view text,
                         ParameterValue& value, std::string& why);

}  // namespace kesmir
