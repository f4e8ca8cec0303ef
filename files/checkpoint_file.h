// Checkpoints: the whole state of a run at a cycle boundary, from which a
// later process goes on exactly as the run would have.
//
// A file is, in order (numbers little-endian):
//   header   8 bytes  "KESMIRCK"
//            u32      format version (kCheckpointVersion)
//            u32 u32  the world's width and height in cells
//            u32      0 (reserved)
//   body     one zstd frame holding, in order: the cycle count kk (i32), the
//            generator's state (u32), which buffers are current (u8); the
//            parameters (u32 count, then per parameter: u8 name length, the
//            name, u8 type 0 float / 1 int32, 4 value bytes); Ppop Hpop Cpop
//            newPpop newHpop newCpop Peat Heat Ceat (i32 each); pmin pmax
//            hmin hmax cmin cmax emax (f32 each); the plant, herbivore and
//            carnivore lists; the nutrient levels of every cell (f32, grid
//            order). A list is its records' fields as columns (x y energy age
//            chrom1 chrom2 [chrom3 chrom4] GM alive, 4 bytes each), then its
//            slot exceptions (u32 count, then i32 cell and u32 slot each).
//            Every column is cut into blocks of 4096 values, each block
//            stored as four byte planes, lowest bytes first. From format 2
//            on, the run's histories follow (files/checkpoint_history.h).
//   trailer  u64      the length of the whole file
//            u64      xxHash64 (seed 0) of every byte before it
#pragma once

#include <cstdint>
#include <string>

#include "files/safe_file.h"
#include "world/params.h"

namespace kesmir {

inline constexpr const char* kCheckpointFile = "checkpoint.kes";
constexpr uint32_t kCheckpointVersion = 2;
// Format 1 holds no histories; it is still read.
constexpr uint32_t kOldestCheckpointVersion = 1;

// Writes the world as it stands, safely (a temporary file renamed over the
// old one), with `parameters` as the values the next cycle runs with. Call
// it at a cycle boundary, from the simulation thread. `version` 1, without
// the histories, is there to test reading old files.
WriteResult writeCheckpoint(const std::string& path, const ParameterSet& parameters,
                            uint32_t version = kCheckpointVersion);
// The same with the parameters' globals as they stand.
WriteResult writeCheckpoint(const std::string& path, uint32_t version = kCheckpointVersion);

// Replaces the world, the counters, the generator's state and the
// parameters with the checkpoint's. On failure `error` is one line naming
// the file and what is wrong with it; the world is then not fit to run.
bool readCheckpoint(const std::string& path, std::string& error);

// The cycle a checkpoint was written at, after checking the file whole (the
// world itself is not read).
bool readCheckpointCycle(const std::string& path, int32_t& cycle, std::string& error);

}  // namespace kesmir
