// Death: the starved and the old are marked dead; the old hand their
// energy to their cell.
#pragma once

#include <array>
#include <cstdint>

#include "sim/parallel/list_pieces.h"

namespace kesmir {

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

// Marks the starved and the old as dead; the old hand their energy to their cell.
void die();

}  // namespace kesmir
