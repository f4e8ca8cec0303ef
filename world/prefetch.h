// Asking memory early for a cache line that will soon be read or written.
//
// A function whose only statements are __builtin_prefetch calls counts to
// the compiler as one without side effects, and a call to it may be dropped
// when it is not inlined first; the hot loops ask for lines through small
// helpers of that kind, so on x86 the hint is an asm statement the compiler
// must keep.
#pragma once

namespace kesmir {

inline void prefetchLine(const void* address) {
#if defined(__x86_64__) || defined(__i386__)
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#else
    __builtin_prefetch(address, 1);
#endif
}

}  // namespace kesmir
