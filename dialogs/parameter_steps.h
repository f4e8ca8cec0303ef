// The arithmetic of the parameter dialogs, free of any toolkit: one step of
// an arrow button and the conversion of an edit box's text into a value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kesmir {

// An edit box yields at most this many characters; the rest of a longer text
// is not read.
inline constexpr std::size_t kEditTextLimit = 19;

// Raising tests only the upper bound and lowering only the lower one, so a
// value outside its bounds moves one step back towards them from the far side
// and jumps onto the bound from the near side.

// The step is taken in double precision and rounded back to single.
float raisedDecimal(float value, double step, float upper);
float loweredDecimal(float value, double step, float lower);

// Never overflows: a value at the edge of the int32 range lands on the bound.
int32_t raisedInteger(int32_t value, int32_t step, int32_t upper);
int32_t loweredInteger(int32_t value, int32_t step, int32_t lower);

// The leading number of the text as strtod reads it (blanks, sign, digits,
// fraction, exponent; 0 when there is none), narrowed to single precision.
// A magnitude beyond the float range becomes the largest float of its sign,
// and "nan" reads as 0, so the value stays one the arrows can move again.
float decimalFromText(std::string_view text);

// The leading number of the text as atoi reads it (blanks, sign, decimal
// digits; 0 when there is none), saturated to the int32 range.
int32_t integerFromText(std::string_view text);

}  // namespace kesmir
