// "spot.dat": the last spot sample taken while the L toggle was on.
//
//   line 1:        cycle                                     "%d\n"
//   line 2:        Psamp Hsamp Csamp                         "%d %d %d\n"
//   Psamp lines:   chrom1 chrom2 GM energy age               "%u %u %u %f %d\n"
//   Hsamp lines,
//   then Csamp:    chrom1 chrom3 chrom2 chrom4 GM energy age "%u %u %u %u %u %f %d\n"
//
// The record lines are those of "sample9GM.dat", so one reader serves both.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace kesmir {

inline constexpr const char* kSpotFile = "spot.dat";

// Each spot sample is also written to the file (the L key toggles it).
extern std::atomic<bool> store;

// The file's contents for the current sample, headed by `cycle`.
std::string spotFileText(int32_t cycle);

// Replaces the file with the current sample, headed by the cycle counter kk.
// A failure is told on stderr, the previous file staying whole; returns
// whether the file was written.
bool writeSpotFile();

}  // namespace kesmir
