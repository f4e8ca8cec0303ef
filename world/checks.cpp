#include "world/checks.h"

#include <cstdio>
#include <cstdlib>

namespace kesmir {

void failedCheck(const char* what, const char* file, int line) noexcept {
    std::fprintf(stderr, "kesmir: internal error: %s (%s:%d)\n", what, file, line);
    std::fflush(stderr);
    std::abort();
}

}  // namespace kesmir
