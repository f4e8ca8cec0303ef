// What a checkpoint (format 2 on) holds after the world: the run's histories,
// so that a resumed run's charts show the whole run. In order:
//   the population history: u32 count, then the columns cycle, plants,
//     herbivores, carnivores (i32 each);
//   the trait samples: u32 count, then the columns cycle, the three kinds'
//     organisms (i32 each) and each counted field's sum of values (u32);
//   the trait distributions: u32 samples per column, u32 column count, then
//     the columns first cycle, last cycle (i32), samples (u32), the three
//     kinds' organisms (u64, each as a column of low and one of high
//     halves), then every column's bins (u64, low halves, then high halves).
// Columns are stored as the world's are (blocks of byte planes).
#pragma once

#include <cstdint>
#include <string>

#include "files/compressed_stream.h"

namespace kesmir {

void writeHistories(CompressedWriter& out);

// Reads the histories of a checkpoint taken at cycle `cycle` and, when they
// are sound, puts them in place of the ones in memory. On failure `error`
// says what is wrong ("" when the stream itself failed).
bool readHistories(CompressedReader& in, int32_t cycle, std::string& error);

// The most the histories can take in a checkpoint: those of a run of
// kLatestStoredCycle cycles, every cycle counted.
std::uint64_t largestHistoryBytes();

// A checkpoint of format 1 has none: the charts start at the resume cycle.
void clearHistories();

}  // namespace kesmir
