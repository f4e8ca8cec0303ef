// Text form of the nutrient layer: one "%f " field per level, as the C library's
// printf writes it (six decimals, then one space, no line breaks). Writing is
// byte-for-byte what printf("%f ", (double)level) produces for every float;
// reading converts each number as strtof does and validates the file strictly.
// The file functions stream through small buffers rather than holding the
// whole text in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/safe_file.h"

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

// Writes the text of `count` levels as the whole file at `path`, through
// AtomicFileWriter, formatting and writing a block of levels at a time.
WriteResult writeNutrientFile(const std::string& path, const float* levels, std::size_t count);

// The same through a writer the caller made, e.g. to have the write count
// as in progress before the formatting starts.
WriteResult writeNutrientFile(AtomicFileWriter& file, const float* levels, std::size_t count);

// The largest file of `count` levels that is read at all: the longest field
// the program writes with room to spare for other white space.
std::uint64_t largestNutrientFile(std::size_t count);

// Reads and parses the file at `path` a block at a time, as parseNutrientText
// would parse its whole text, holding at most a few MB of it at once. Only a
// regular file of at most largestNutrientFile(count) bytes is read (see
// openDataFile). Missing: it cannot be opened; failed: it is no data file, it
// cannot be read or its contents are wrong. Unless ok, `error` names the file
// and says what is wrong.
ReadStatus readNutrientFile(const std::string& path, float* levels, std::size_t count,
                            std::string& error);

}  // namespace kesmir
