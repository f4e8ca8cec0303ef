#include "dialogs/parameter_steps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace kesmir {

namespace {

// The text the edit box hands over, terminated for the C library.
std::string editText(std::string_view text) {
    return std::string(text.substr(0, kEditTextLimit));
}

}  // namespace

float raisedDecimal(float value, double step, float upper) {
    const float result = static_cast<float>(static_cast<double>(value) + step);
    return result > upper ? upper : result;
}

float loweredDecimal(float value, double step, float lower) {
    const float result = static_cast<float>(static_cast<double>(value) - step);
    return result < lower ? lower : result;
}

int32_t raisedInteger(int32_t value, int32_t step, int32_t upper) {
    const int64_t result = int64_t{value} + step;
    return result > upper ? upper : static_cast<int32_t>(result);
}

int32_t loweredInteger(int32_t value, int32_t step, int32_t lower) {
    const int64_t result = int64_t{value} - step;
    return result < lower ? lower : static_cast<int32_t>(result);
}

float decimalFromText(std::string_view text) {
    const double value = std::strtod(editText(text).c_str(), nullptr);
    if (std::isnan(value)) return 0.0f;
    // Narrowing a double beyond the float range is undefined, and an infinite
    // parameter could never be stepped back.
    constexpr double largest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -largest, largest));
}

int32_t integerFromText(std::string_view text) {
    // strtol saturates at the long range; atoi would leave the overflow undefined.
    const long value = std::strtol(editText(text).c_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long>(value, std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max()));
}

}  // namespace kesmir
