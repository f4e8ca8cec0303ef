#include "world/format.h"

#include <cstdarg>
#include <cstdio>

namespace kesmir {

namespace {

void appendV(std::string& out, const char* format, va_list args) {
    char small[256];
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) < sizeof small) {
        out.append(small, static_cast<std::size_t>(length));
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(out.data() + start, static_cast<std::size_t>(length) + 1, format, args);
    out.resize(start + static_cast<std::size_t>(length));
}

}  // namespace

void appendFormatted(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    appendV(out, format, args);
    va_end(args);
}

std::string formatted(const char* format, ...) {
    std::string out;
    va_list args;
    va_start(args, format);
    appendV(out, format, args);
    va_end(args);
    return out;
}

}  // namespace kesmir
