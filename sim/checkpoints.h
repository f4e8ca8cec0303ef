// When the simulation writes "checkpoint.kes": every N cycles (--checkpoint-
// every) and once when the K key asks for one, always at a cycle boundary,
// where the lists, the counters and the generator are those of one moment.
#pragma once

#include <atomic>

namespace kesmir {

// Set by the window thread (K); the next cycle boundary writes a checkpoint.
extern std::atomic<bool> checkpointRequested;

// At the boundary before a cycle's gene sample and steps: writes the
// checkpoint if one is due, and says on stderr where it went or why not.
void storeCheckpointIfDue();

}  // namespace kesmir
