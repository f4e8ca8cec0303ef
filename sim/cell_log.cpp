#include "sim/cell_log.h"

#include "world/lazy_memory.h"

namespace kesmir {

CellLog::Entry* CellLog::ring() {
    static Entry* const entries = reserveArray<Entry>(kCapacity, "the cell log");
    return entries;
}

void CellLog::waitForRoom() {
    int rounds = 0;
    while ((appliedSeen_ = applied_.load(std::memory_order_acquire)) <= pushed_ - kCapacity)
        pauseBriefly(rounds);
}

}  // namespace kesmir
