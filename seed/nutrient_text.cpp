#include "seed/nutrient_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace kesmir {

namespace {

// Longest field: '-', the 39 digits of FLT_MAX, ".000000" and the space.
constexpr std::size_t kMaxFieldChars = 48;

// Fields formatted into a stack buffer before each append to the string.
constexpr std::size_t kFieldsPerBlock = 1024;

// "00", "01", ... "99", for writing the decimals two at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The C library's own text, for the few values the integer path below leaves
// to it: infinities, NaNs and magnitudes of 2^64 and more.
std::size_t formatWithPrintf(float level, char* out) {
    char field[64];
    const int length = std::snprintf(field, sizeof field, "%f ", static_cast<double>(level));
    std::memcpy(out, field, static_cast<std::size_t>(length));
    return static_cast<std::size_t>(length);
}

// Writes printf("%f ", (double)level) into `out` and returns its length.
//
// A finite float is exactly mantissa * 2^exponent with mantissa < 2^24. For a
// negative exponent its value in millionths is mantissa * 10^6 / 2^shift, and
// mantissa * 10^6 < 2^44 fits in 64 bits, so the quotient and remainder are
// exact and the rounding to six decimals can be done exactly, ties to even as
// glibc rounds them. A non-negative exponent gives an integer, written as is.
std::size_t formatLevel(float level, char* out) {
    const auto bits = std::bit_cast<std::uint32_t>(level);
    const std::uint32_t biasedExponent = (bits >> 23) & 0xFFu;
    const std::uint64_t fraction = bits & 0x7FFFFFu;
    if (biasedExponent == 0xFFu) return formatWithPrintf(level, out);

    const std::uint64_t mantissa = biasedExponent == 0 ? fraction : (fraction | 0x800000u);
    const int exponent = biasedExponent == 0 ? -149 : static_cast<int>(biasedExponent) - 150;

    std::uint64_t whole = 0;
    std::uint32_t micros = 0;
    if (exponent >= 0) {
        if (exponent > 40) return formatWithPrintf(level, out);  // 2^64 or more
        whole = mantissa << exponent;
    } else {
        const int shift = -exponent;
        std::uint64_t scaled = 0;  // a shift of 64 or more always rounds to zero
        if (shift < 64) {
            const std::uint64_t millionths = mantissa * 1000000u;
            scaled = millionths >> shift;
            const std::uint64_t rest = millionths & ((std::uint64_t{1} << shift) - 1);
            const std::uint64_t half = std::uint64_t{1} << (shift - 1);
            if (rest > half || (rest == half && (scaled & 1u) != 0)) ++scaled;
        }
        whole = scaled / 1000000u;
        micros = static_cast<std::uint32_t>(scaled % 1000000u);
    }

    char* p = out;
    if ((bits >> 31) != 0) *p++ = '-';  // also for -0.0 and negatives rounding to zero
    p = std::to_chars(p, p + 20, whole).ptr;
    *p++ = '.';
    const std::uint32_t pairs[3] = {micros / 10000u, micros / 100u % 100u, micros % 100u};
    for (std::uint32_t pair : pairs) {
        *p++ = kDigitPairs[2 * pair];
        *p++ = kDigitPairs[2 * pair + 1];
    }
    *p++ = ' ';
    return static_cast<std::size_t>(p - out);
}

// White space as isspace() knows it in the C locale.
bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The token starting at `p`, shortened and with unprintable bytes replaced,
// for quoting in a message.
std::string quoteToken(const char* p, const char* end) {
    constexpr std::size_t kMaxQuoted = 24;
    std::string quoted = "\"";
    std::size_t length = 0;
    for (; p != end && !isSpace(*p) && length < kMaxQuoted; ++p, ++length) {
        const auto byte = static_cast<unsigned char>(*p);
        quoted += byte >= 0x20 && byte < 0x7F ? *p : '?';
    }
    if (p != end && !isSpace(*p)) quoted += "...";
    return quoted + "\"";
}

// from_chars reports overflow and underflow alike as out of range. They are
// told apart by the decimal exponent of the leading significant digit, which
// is 38 or more for a number too large for a float and -46 or less for one
// that rounds to zero. [p, end) is a number from_chars accepted as decimal.
bool overflowsFloat(const char* p, const char* end) {
    if (*p == '-') ++p;
    long long lead = 0;  // decimal exponent of the first non-zero digit
    bool found = false;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        if (*p != '0') found = true;
        if (found) ++lead;
    }
    if (found) {
        --lead;
    } else if (p != end && *p == '.') {
        for (++p; p != end && *p == '0'; ++p)
            --lead;
        --lead;
    }
    while (p != end && *p != 'e' && *p != 'E')
        ++p;
    long long exponent = 0;
    if (p != end) {
        ++p;
        const bool negative = p != end && *p == '-';
        if (p != end && (*p == '-' || *p == '+')) ++p;
        for (; p != end && *p >= '0' && *p <= '9'; ++p) {
            if (exponent < 1'000'000'000'000) exponent = exponent * 10 + (*p - '0');
        }
        if (negative) exponent = -exponent;
    }
    return lead + exponent >= 0;
}

ParseResult failAt(const char* what, std::size_t valueNumber, const char* begin, const char* token,
                   const char* end) {
    return {false, std::string(what) + " at value " + std::to_string(valueNumber) +
                       " (byte offset " + std::to_string(token - begin) +
                       "): " + quoteToken(token, end)};
}

}  // namespace

void appendNutrientText(const float* levels, std::size_t count, std::string& out) {
    out.reserve(out.size() + count * 12);  // "dddd.dddddd " is the common field
    char block[kFieldsPerBlock * kMaxFieldChars];
    for (std::size_t first = 0; first < count; first += kFieldsPerBlock) {
        const std::size_t last = std::min(count, first + kFieldsPerBlock);
        std::size_t length = 0;
        for (std::size_t i = first; i < last; ++i)
            length += formatLevel(levels[i], block + length);
        out.append(block, length);
    }
}

ParseResult parseNutrientText(std::string_view text, float* levels, std::size_t count) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    for (std::size_t i = 0; i < count; ++i) {
        while (p != end && isSpace(*p))
            ++p;
        if (p == end) {
            return {false,
                    "holds " + std::to_string(i) + " values, expected " + std::to_string(count)};
        }
        const char* const token = p;
        if (*p == '+') {  // strtof takes a '+' sign, from_chars does not
            ++p;
            if (p != end && *p == '-') return failAt("malformed number", i + 1, begin, token, end);
        }
        float value = 0.0f;
        const auto [next, ec] = std::from_chars(p, end, value);
        if (ec == std::errc::invalid_argument || (next != end && !isSpace(*next))) {
            return failAt("malformed number", i + 1, begin, token, end);
        }
        if (ec == std::errc::result_out_of_range) {
            if (overflowsFloat(p, next)) {
                return failAt("number out of range", i + 1, begin, token, end);
            }
            value = *p == '-' ? -0.0f : 0.0f;
        } else if (!std::isfinite(value)) {
            return failAt("non-finite number", i + 1, begin, token, end);
        }
        levels[i] = value;
        p = next;
    }
    while (p != end && isSpace(*p))
        ++p;
    if (p != end) {
        return {false, "extra content after value " + std::to_string(count) + " (byte offset " +
                           std::to_string(p - begin) + "): " + quoteToken(p, end)};
    }
    return {true, {}};
}

}  // namespace kesmir
