// What a checkpoint holds of the world, in the order it is stored, and its
// checked way back in. The cell slots are not stored: they are rebuilt from
// the lists, and the few cells where the live slots differ from that rebuild
// (two records of one kind on a cell, the later one dropped by the cull) are
// stored as exceptions, so the rebuilt grid is the saved one exactly.
#pragma once

#include <string>

#include "files/compressed_stream.h"

namespace kesmir {

// The world as it stands at a cycle boundary.
void writeWorld(CompressedWriter& out);

// Replaces the world with what `in` holds (what follows the world is left
// to the caller). On failure `error` says what is wrong, and the world is
// left part read: the caller must not run it.
bool readWorld(CompressedReader& in, std::string& error);

}  // namespace kesmir
