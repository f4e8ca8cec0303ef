// What a checkpoint holds of the world, in the order it is stored, and its
// checked way back in. The cell slots are not stored: they are rebuilt from
// the lists, and the few cells where the live slots differ from that rebuild
// (two records of one kind on a cell, the later one dropped by the cull) are
// stored as exceptions, so the rebuilt grid is the saved one exactly.
#pragma once

#include <cstdint>
#include <string>

#include "files/compressed_stream.h"
#include "world/params.h"

namespace kesmir {

// What a checkpoint may hold beyond the world's own bounds. The cycle count
// then has over a billion cycles to go before it could overflow. An age
// grows by one a cycle until its holder dies past its senescent age, which
// the parameters' bounds keep far below this, so no age can overflow either.
inline constexpr int32_t kLatestStoredCycle = 1'000'000'000;
inline constexpr int32_t kOldestStoredAge = 2'000'000'000;

// The most bytes a state can take: every list full and every record a slot
// exception. Each section of the state adds its own largest size here.
std::uint64_t largestStateBytes();

// The world as it stands at a cycle boundary.
void writeWorld(CompressedWriter& out, const ParameterSet& parameters);

// Replaces the world with what `in` holds (what follows the world is left
// to the caller). On failure `error` says what is wrong, and the world is
// left part read: the caller must not run it.
bool readWorld(CompressedReader& in, std::string& error);

}  // namespace kesmir
