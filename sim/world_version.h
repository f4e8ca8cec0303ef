// A count of the changes to the world the window shows. The simulation bumps
// it after every step of the cycle and after seeding; the display compares it
// with the count it last drew, so it draws nothing while the world stands
// still. One relaxed increment per step: nothing the cycle would notice.
#pragma once

#include <atomic>
#include <cstdint>

namespace kesmir {

inline std::atomic<uint64_t> worldVersion{0};

inline void noteWorldChanged() {
    worldVersion.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace kesmir
