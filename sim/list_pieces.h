// Lists cut into pieces for the steps that work on them piece by piece, and
// what `die` hands on to `cull` about each piece.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "sim/worker_pool.h"
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

// How many records of each piece of a current list are alive after `die`,
// so that `cull` knows where every piece's survivors go. Good for one cull
// of the same list and count.
struct SurvivorTally {
    const void* list = nullptr;
    int32_t count = -1;
    std::array<int32_t, kMaxRecordPieces> alive;

    bool describes(const void* l, int32_t c) const { return list == l && count == c; }
};

extern SurvivorTally plantSurvivors;
extern SurvivorTally herbivoreSurvivors;
extern SurvivorTally carnivoreSurvivors;

}  // namespace kesmir
