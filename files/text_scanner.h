// Reads white-space separated numbers from a data file's text, strictly: a
// token that is not wholly a number of the wanted kind, a value out of range
// or a non-finite value stops the scan with a message naming the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kesmir {

class TextScanner {
  public:
    explicit TextScanner(std::string_view text) : text_(text) {}

    bool readUnsigned(uint32_t& value);  // decimal digits, 0..4294967295
    bool readInt(int32_t& value);        // optional sign, decimal digits
    // The same, refusing a value above `largest` as too large for `what`.
    bool readInt(int32_t& value, int32_t largest, const char* what);
    bool readFloat(float& value);  // a finite decimal number

    // True when only white space is left.
    bool atEnd();

    // What went wrong, with its line number, after a read returned false.
    const std::string& error() const { return error_; }

    // The line the scan has reached, counted from 1.
    int line() const { return line_; }

  private:
    bool nextToken(std::string_view& token, const char* what);
    bool fail(const std::string& message);

    std::string_view text_;
    std::size_t position_ = 0;
    int line_ = 1;
    std::string error_;
};

}  // namespace kesmir
