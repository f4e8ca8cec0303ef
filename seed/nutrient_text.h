// Text form of the nutrient layer: one "%f " field per level, as the C library's
// printf writes it (six decimals, then one space, no line breaks). Writing is
// byte-for-byte what printf("%f ", (double)level) produces for every float;
// reading converts each number as strtof does and validates the file strictly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kesmir {

// Appends the text of `count` levels to `out`, each exactly as
// printf("%f ", (double)level) writes it, including "-0.000000", "inf" and "nan".
void appendNutrientText(const float* levels, std::size_t count, std::string& out);

struct ParseResult {
    bool ok = false;
    std::string error;  // what is wrong and where, when !ok
};

// Reads exactly `count` numbers separated by white space (space, tab, newline,
// CR, VT, FF) into `levels`, each rounded to the nearest float as strtof would
// round the decimal text; a leading '+' is accepted, and a number too small for
// a float becomes a signed zero, as strtof returns it. Fails, naming the value
// (counted from 1) and the byte offset (counted from 0), on a malformed number,
// a non-finite one, one too large for a float, fewer than `count` numbers, or
// anything but white space after the last one. After a failure `levels` holds
// an unspecified mix of old and new values.
ParseResult parseNutrientText(std::string_view text, float* levels, std::size_t count);

}  // namespace kesmir
