#include "files/nutrient_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <unistd.h>

#include "files/message_text.h"

namespace kesmir {

namespace {

// Longest field: '-', the 39 digits of FLT_MAX, ".000000" and the space.
constexpr std::size_t kMaxFieldChars = 48;

// Fields formatted into a stack buffer before each append to the string.
constexpr std::size_t kFieldsPerBlock = 1024;

// Levels formatted per write to the file, and bytes read per read from it:
// small reused buffers, since fresh memory for the whole ~140 MB text costs
// more than formatting it.
constexpr std::size_t kLevelsPerPiece = 65536;
constexpr std::size_t kReadPiece = std::size_t{1} << 20;

// The read buffer grows for a number longer than a piece, up to this; a
// longer "number" is refused rather than held whole.
constexpr std::size_t kLongestToken = std::size_t{4} << 20;

// Bytes allowed per level in a file that is read: the longest field the
// program writes is kMaxFieldChars, and the rest leaves room for other white
// space than one blank. One number may be as long as the reader holds.
constexpr std::uint64_t kMaxBytesPerLevel = 64;

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

// The token starting at `p`, for quoting in a message.
std::string quoteToken(const char* p, const char* end) {
    const char* tokenEnd = p;
    while (tokenEnd != end && !isSpace(*tokenEnd))
        ++tokenEnd;
    return quotedForMessage({p, static_cast<std::size_t>(tokenEnd - p)});
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

// Reads numbers into the levels from the pieces of one text in turn. Each
// piece ends with white space or with the text, so no number is split; byte
// offsets in messages count from the start of the whole text.
class LevelParser {
  public:
    LevelParser(float* levels, std::size_t count) : levels_(levels), count_(count) {}

    // Parses the piece that starts at byte `offset` of the text; false on an error.
    bool parse(std::string_view piece, std::size_t offset);

    // After the last piece: false unless all the values were there.
    bool finish();

    const std::string& error() const { return error_; }

  private:
    bool fail(const std::string& what, std::size_t offset, const char* token, const char* end);
    std::string atValue(const char* what) const {
        return what + (" at value " + std::to_string(read_ + 1));
    }

    float* levels_;
    std::size_t count_;
    std::size_t read_ = 0;
    std::string error_;
};

bool LevelParser::fail(const std::string& what, std::size_t offset, const char* token,
                       const char* end) {
    error_ = what + " (byte offset " + std::to_string(offset) + "): " + quoteToken(token, end);
    return false;
}

bool LevelParser::parse(std::string_view piece, std::size_t offset) {
    const char* const begin = piece.data();
    const char* const end = begin + piece.size();
    const char* p = begin;
    for (;;) {
        while (p != end && isSpace(*p))
            ++p;
        if (p == end) return true;
        const char* const token = p;
        const std::size_t tokenOffset = offset + static_cast<std::size_t>(token - begin);
        if (read_ == count_) {
            return fail("extra content after value " + std::to_string(count_), tokenOffset, token,
                        end);
        }
        if (*p == '+') {  // strtof takes a '+' sign, from_chars does not
            ++p;
            if (p != end && *p == '-') {
                return fail(atValue("malformed number"), tokenOffset, token, end);
            }
        }
        float value = 0.0f;
        const auto [next, ec] = std::from_chars(p, end, value);
        if (ec == std::errc::invalid_argument || (next != end && !isSpace(*next))) {
            return fail(atValue("malformed number"), tokenOffset, token, end);
        }
        if (ec == std::errc::result_out_of_range) {
            if (overflowsFloat(p, next)) {
                return fail(atValue("number out of range"), tokenOffset, token, end);
            }
            value = *p == '-' ? -0.0f : 0.0f;
        } else if (!std::isfinite(value)) {
            return fail(atValue("non-finite number"), tokenOffset, token, end);
        }
        levels_[read_++] = value;
        p = next;
    }
}

bool LevelParser::finish() {
    if (read_ == count_) return true;
    error_ = "holds " + std::to_string(read_) + " values, expected " + std::to_string(count_);
    return false;
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
    LevelParser parser(levels, count);
    if (!parser.parse(text, 0) || !parser.finish()) return {false, parser.error()};
    return {true, {}};
}

WriteResult writeNutrientFile(const std::string& path, const float* levels, std::size_t count) {
    AtomicFileWriter file(path);
    return writeNutrientFile(file, levels, count);
}

WriteResult writeNutrientFile(AtomicFileWriter& file, const float* levels, std::size_t count) {
    std::string piece;
    for (std::size_t first = 0; first < count; first += kLevelsPerPiece) {
        piece.clear();
        appendNutrientText(levels + first, std::min(kLevelsPerPiece, count - first), piece);
        if (!file.write(piece)) break;
    }
    return file.commit();
}

std::uint64_t largestNutrientFile(std::size_t count) {
    return count * kMaxBytesPerLevel + kLongestToken;
}

ReadStatus readNutrientFile(const std::string& path, float* levels, std::size_t count,
                            std::string& error) {
    int fd = -1;
    const ReadStatus opened = openDataFile(path, largestNutrientFile(count), fd, error);
    if (opened != ReadStatus::ok) return opened;
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    LevelParser parser(levels, count);
    std::vector<char> buffer(kReadPiece);
    std::size_t filled = 0;  // bytes in the buffer
    std::size_t offset = 0;  // where the buffer starts in the file
    for (bool atEnd = false; !atEnd;) {
        if (filled == buffer.size()) {  // one huge token
            if (buffer.size() >= kLongestToken) {
                error = "'" + path + "': a number of more than " + std::to_string(kLongestToken) +
                        " characters (byte offset " + std::to_string(offset) +
                        "): " + quoteToken(buffer.data(), buffer.data() + filled);
                return ReadStatus::failed;
            }
            buffer.resize(2 * buffer.size());
        }
        const ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = "cannot read '" + path + "': " + std::strerror(errno);
            return ReadStatus::failed;
        }
        atEnd = got == 0;
        filled += static_cast<std::size_t>(got);
        if (offset + filled > largestNutrientFile(count)) {
            error = "'" + path + "' grew past " + std::to_string(largestNutrientFile(count)) +
                    " bytes while read";
            return ReadStatus::failed;
        }
        // Parse up to the last white space, keeping a number cut off by the
        // end of the buffer for the next round; at the end, parse everything.
        std::size_t complete = filled;
        while (!atEnd && complete > 0 && !isSpace(buffer[complete - 1]))
            --complete;
        if (!parser.parse({buffer.data(), complete}, offset)) {
            error = "'" + path + "': " + parser.error();
            return ReadStatus::failed;
        }
        std::memmove(buffer.data(), buffer.data() + complete, filled - complete);
        filled -= complete;
        offset += complete;
    }
    if (!parser.finish()) {
        error = "'" + path + "': " + parser.error();
        return ReadStatus::failed;
    }
    return ReadStatus::ok;
}

}  // namespace kesmir
