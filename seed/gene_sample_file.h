// "sample9GM.dat": 1000 plant lines, then 1000 herbivore and 1000 carnivore
// lines, drawn from the current lists every 1000 cycles and read at the next
// start as seed sample B.
//
//   plant line:  chrom1 chrom2 GM energy age                "%u %u %u %f %d\n"
//   animal line: chrom1 chrom3 chrom2 chrom4 GM energy age  "%u %u %u %u %u %f %d\n"
#pragma once

#include <string>

#include "world/records.h"

namespace kesmir {

inline constexpr const char* kGeneSampleFile = "sample9GM.dat";
constexpr int kGeneSampleLines = 1000;  // per kind

// Draws 1000 records of each kind (with replacement) and rewrites the file
// safely. The draws are taken whether or not the file can be written.
void storeGMSamples();

// Fills entries 0..999 of PB, HB, CB from the file. A file that cannot be
// opened, or one that is short, malformed or holds a non-finite number (told
// on stderr), leaves sample B to be generated instead.
void loadGMSamples();

// One line of the file, as written.
void appendPlantLine(std::string& out, const plant& p);
void appendAnimalLine(std::string& out, const animal& a);

}  // namespace kesmir
