#include "world/lazy_memory.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>

namespace kesmir {

void* reserveZeroed(std::size_t bytes, const char* what) {
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) {
        std::fprintf(stderr, "kesmir: cannot reserve %zu MB of memory for %s\n", bytes >> 20, what);
        std::fflush(stderr);
        std::_Exit(1);
    }
    // Huge pages where the kernel allows them: the cycle's look-ups land at
    // random in arrays of tens of megabytes, and 2 MB pages spare most of the
    // address-translation misses (and most of the page faults on first touch).
    madvise(memory, bytes, MADV_HUGEPAGE);
    return memory;
}

void releasePages(void* start, std::size_t bytes) {
    madvise(start, bytes, MADV_DONTNEED);
}

void freeReserved(void* start, std::size_t bytes) {
    munmap(start, bytes);
}

}  // namespace kesmir
