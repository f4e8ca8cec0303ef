#include "files/text_scanner.h"

#include <charconv>
#include <cmath>

#include "files/message_text.h"

namespace kesmir {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string shown(std::string_view token) {
    return quotedForMessage(token);
}

}  // namespace

bool TextScanner::fail(const std::string& message) {
    error_ = "line " + std::to_string(line_) + ": " + message;
    return false;
}

bool TextScanner::nextToken(std::string_view& token, const char* what) {
    while (position_ < text_.size() && isSpace(text_[position_])) {
        if (text_[position_] == '\n') ++line_;
        ++position_;
    }
    if (position_ == text_.size())
        return fail(std::string("the file ends where ") + what + " was expected");
    const std::size_t start = position_;
    while (position_ < text_.size() && !isSpace(text_[position_]))
        ++position_;
    token = text_.substr(start, position_ - start);
    return true;
}

bool TextScanner::readUnsigned(uint32_t& value) {
    std::string_view token;
    if (!nextToken(token, "a gene word")) return false;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec == std::errc::result_out_of_range)
        return fail(shown(token) + " does not fit in 32 bits");
    if (ec != std::errc() || end != token.data() + token.size())
        return fail(shown(token) + " is not an unsigned whole number");
    return true;
}

bool TextScanner::readInt(int32_t& value) {
    std::string_view token;
    if (!nextToken(token, "a whole number")) return false;
    std::string_view digits = token;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range) return fail(shown(token) + " is out of range");
    if (ec != std::errc() || end != digits.data() + digits.size())
        return fail(shown(token) + " is not a whole number");
    return true;
}

bool TextScanner::readInt(int32_t& value, int32_t largest, const char* what) {
    if (!readInt(value)) return false;
    if (value <= largest) return true;
    return fail(shown(std::to_string(value)) + " is too large for " + what + " (at most " +
                std::to_string(largest) + ")");
}

bool TextScanner::readFloat(float& value) {
    std::string_view token;
    if (!nextToken(token, "a number")) return false;
    std::string_view digits = token;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) return fail(shown(token) + " is out of range");
    if (ec != std::errc() || end != digits.data() + digits.size())
        return fail(shown(token) + " is not a number");
    if (!std::isfinite(value)) return fail(shown(token) + " is not a finite number");
    return true;
}

bool TextScanner::atEnd() {
    while (position_ < text_.size() && isSpace(text_[position_])) {
        if (text_[position_] == '\n') ++line_;
        ++position_;
    }
    return position_ == text_.size();
}

}  // namespace kesmir
