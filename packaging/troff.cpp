#include "packaging/troff.h"

namespace kesmir::packaging {

std::string troffText(std::string_view markdown) {
    std::string text;
    bool inCode = false;
    char previous = ' ';
    bool dashStartsWord = false;
    for (const char c : markdown) {
        if (c == '`') {
            text += inCode ? "\\fR" : "\\fB";
            inCode = !inCode;
        } else if (c == '\\') {
            text += "\\e";
        } else if (c == '-') {
            // A run of dashes that starts a word is an option's: "--params", "(-x)".
            if (previous != '-') dashStartsWord = previous == ' ' || previous == '(';
            text += inCode || dashStartsWord ? "\\-" : "-";
        } else {
            text += c;
        }
        previous = c;
    }
    if (inCode) text += "\\fR";
    if (text.starts_with('.') || text.starts_with('\'')) text.insert(0, "\\&");
    return text;
}

std::string troffOptionNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + troffText("`" + name + "`");
    return text;
}

}  // namespace kesmir::packaging
