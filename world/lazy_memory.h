// Full-capacity buffers that cost nothing until touched: the grid and the
// lists are reserved once at start-up and the kernel commits pages only as
// the populations grow into them.
#pragma once

#include <cstddef>

namespace kesmir {

// Reserves `bytes` of zero-filled memory. On failure prints one line to
// stderr and ends the process with exit code 1.
void* reserveZeroed(std::size_t bytes, const char* what);

// Gives the pages back to the kernel; the range reads as zeros afterwards.
void releasePages(void* start, std::size_t bytes);

// Unmaps what reserveZeroed reserved.
void freeReserved(void* start, std::size_t bytes);

template <class T>
T* reserveArray(std::size_t count, const char* what) {
    return static_cast<T*>(reserveZeroed(count * sizeof(T), what));
}

}  // namespace kesmir
