// Every model parameter the dialogs change, by its name in the code. The
// command line, the parameter file, --print-params and the checkpoint all
// read this one table, so a new parameter is one more row here.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "world/params.h"
#include "world/shared_access.h"

namespace kesmir {

// Points at a parameter's global: a decimal (float) or an integer (int32) one.
using ParameterRef = std::variant<RelaxedAtomic<float>*, RelaxedAtomic<int32_t>*>;

// A value of either type, as read from text or a checkpoint.
using ParameterValue = std::variant<float, int32_t>;

// A parameter and the values it may take. The bounds keep every sum the
// steps make of it finite and within int32: a gene field (at most 63) plus
// a whole offset stays far inside the age range, and a decimal offset or
// threshold, however often added or compared, stays far from the float
// limit.
struct NamedParameter {
    const char* name;
    ParameterRef global;
    double lowest;
    double highest;
};

inline constexpr double kDecimalBound = 1'000'000;    // decimals: -1e6..1e6
inline constexpr double kWholeBound = 1'000'000'000;  // whole numbers: -1e9..1e9

// In the order of the dialogs: metabolism, satiety, reproduction,
// senescence, maturity; plant, herbivore, carnivore within each.
std::span<const NamedParameter> namedParameters();

// The row of that name (case matters), or nullptr.
const NamedParameter* findParameter(std::string_view name);

ParameterValue parameterValue(const NamedParameter& parameter);
// Its value in `values`.
ParameterValue parameterValue(const NamedParameter& parameter, const ParameterSet& values);

// The row whose global this is, or nullptr.
const NamedParameter* parameterFor(ParameterRef global);

// Whether the value is of the parameter's type and within its bounds (a
// NaN never is).
bool withinBounds(const NamedParameter& parameter, ParameterValue value);

// The value moved onto the nearer bound when it lies beyond one; a NaN
// becomes 0.
ParameterValue clampedToBounds(const NamedParameter& parameter, ParameterValue value);

// "LOWEST..HIGHEST", as the messages and the usage text say it.
std::string boundsText(const NamedParameter& parameter);

// False (and nothing set) when the value is not withinBounds.
bool setParameter(const NamedParameter& parameter, ParameterValue value);

// The shortest decimal text that reads back to exactly the same value.
std::string parameterValueText(ParameterValue value);
std::string parameterText(const NamedParameter& parameter);

// Reads `text` as a value of the parameter's type within its bounds, with
// nothing before or after it.
// On failure `why` says what is wrong with the text.
bool parseParameterValue(const NamedParameter& parameter, std::string_view text,
                         ParameterValue& value, std::string& why);

}  // namespace kesmir
