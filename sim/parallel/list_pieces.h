// Lists cut into pieces for the steps that work on them piece by piece.
#pragma once

#include <cstdint>
#include <functional>

#include "sim/parallel/worker_pool.h"
#include "world/lists.h"

namespace kesmir {

constexpr int32_t kRecordsPerPiece = 1 << 15;
constexpr int32_t kMaxRecordPieces = (kListCapacity - 1) / kRecordsPerPiece + 1;

inline Pieces recordPieces(int32_t count) {
    return Pieces{count, kRecordsPerPiece};
}

// Runs work(piece) for every piece: on all threads when the pieces touch
// nothing in common, else one after another in order.
inline void runPieces(int32_t pieces, bool independent, const std::function<void(int32_t)>& work) {
    if (independent) {
        forEachPiece(pieces, work);
    } else {
        for (int32_t piece = 0; piece < pieces; ++piece)
            work(piece);
    }
}

}  // namespace kesmir
