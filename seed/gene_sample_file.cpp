#include "seed/gene_sample_file.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "files/safe_file.h"
#include "files/text_scanner.h"
#include "seed/seeding.h"
#include "world/format.h"
#include "world/lists.h"
#include "world/random.h"

namespace kesmir {

void appendPlantLine(std::string& out, const plant& p) {
    appendFormatted(out, "%u %u %u %f %d\n", p.chrom1, p.chrom2, p.GM,
                    static_cast<double>(p.energy), p.age);
}

void appendAnimalLine(std::string& out, const animal& a) {
    appendFormatted(out, "%u %u %u %u %u %f %d\n", a.chrom1, a.chrom3, a.chrom2, a.chrom4, a.GM,
                    static_cast<double>(a.energy), a.age);
}

void storeGMSamples() {
    std::string text;
    text.reserve(3 * kGeneSampleLines * 64);
    const plant* plants = PL;
    const animal* herbivores = HL;
    const animal* carnivores = CL;
    for (int i = 0; i < kGeneSampleLines; ++i)
        appendPlantLine(text, plants[draw() % Ppop]);
    for (int i = 0; i < kGeneSampleLines; ++i)
        appendAnimalLine(text, herbivores[draw() % Hpop]);
    for (int i = 0; i < kGeneSampleLines; ++i)
        appendAnimalLine(text, carnivores[draw() % Cpop]);

    const WriteResult written = writeFileAtomically(kGeneSampleFile, text);
    if (!written.ok) tellWriteFailure(kGeneSampleFile, written);
}

namespace {

// The longest line the program writes is an animal line of 115 bytes: five
// 10-digit gene words, the 47 characters of the largest "%f" float, an
// 11-character age and the separators. A file of longer lines on average is
// no sample file; it is refused from its size before it is read.
constexpr std::uint64_t kLongestLine = 128;
constexpr std::uint64_t kLargestSampleFile = 3 * kGeneSampleLines * kLongestLine;

// Every cycle adds one to each age: an organism loaded at this age can still
// age for more than a billion cycles before its 32-bit age would overflow.
constexpr int32_t kOldestLoadedAge = 1'000'000'000;

bool readPlant(TextScanner& in, plant& p) {
    return in.readUnsigned(p.chrom1) && in.readUnsigned(p.chrom2) && in.readUnsigned(p.GM) &&
           in.readFloat(p.energy) && in.readInt(p.age, kOldestLoadedAge, "an age");
}

bool readAnimal(TextScanner& in, animal& a) {
    return in.readUnsigned(a.chrom1) && in.readUnsigned(a.chrom3) && in.readUnsigned(a.chrom2) &&
           in.readUnsigned(a.chrom4) && in.readUnsigned(a.GM) && in.readFloat(a.energy) &&
           in.readInt(a.age, kOldestLoadedAge, "an age");
}

// Where a file laid out one record per line first breaks that layout: the
// scanner reads across line breaks, so a line short of a number only trips
// it on a later line. Returns the line (from 1) before `before` whose count
// of numbers is wrong, with that count and the wanted one; 0 if none is.
// Lines before the scanner's stop hold at most the 3000 records.
int firstMiscountedLine(std::string_view text, int before, int& found, int& wanted) {
    int line = 1;
    int record = 0;
    for (std::size_t start = 0; start < text.size() && line < before; ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        found = 0;
        bool inNumber = false;
        for (std::size_t i = start; i < end; ++i) {
            const bool space =
                std::string_view(" \t\r\v\f").find(text[i]) != std::string_view::npos;
            if (!space && !inNumber) ++found;
            inNumber = !space;
        }
        start = end + 1;
        if (found == 0) continue;  // blank lines are skipped like any white space
        wanted = record < kGeneSampleLines ? 5 : 7;
        if (found != wanted) return line;
        ++record;
    }
    return 0;
}

// On failure the caller generates sample B, which overwrites every entry the
// partial read may have filled: no organism is ever seeded from a half-read file.
bool parseSample(const std::string& text, std::string& error) {
    TextScanner in(text);
    bool ok = true;
    for (int i = 0; ok && i < kGeneSampleLines; ++i)
        ok = readPlant(in, PB[i]);
    for (int i = 0; ok && i < kGeneSampleLines; ++i)
        ok = readAnimal(in, HB[i]);
    for (int i = 0; ok && i < kGeneSampleLines; ++i)
        ok = readAnimal(in, CB[i]);
    if (ok && in.atEnd()) return true;
    error = ok ? "line " + std::to_string(in.line()) + ": more than 3000 records" : in.error();
    int found = 0, wanted = 0;
    if (const int line = firstMiscountedLine(text, in.line(), found, wanted); line > 0) {
        error = "line " + std::to_string(line) + ": " + std::to_string(found) + " numbers where " +
                (wanted == 5 ? "a plant line has 5" : "an animal line has 7");
    }
    return false;
}

void generateSampleB() {
    newPlants();
    newHerbivores();
    newCarnivores();
    seedSampleBSize = kSeedSampleSize;
}

}  // namespace

void loadGMSamples() {
    std::string text;
    std::string error;
    const ReadStatus status = readWholeFile(kGeneSampleFile, text, error, kLargestSampleFile);
    if (status == ReadStatus::missing) return generateSampleB();
    if (status == ReadStatus::ok && parseSample(text, error)) {
        seedSampleBSize = kLoadedSeedSampleSize;
        return;
    }
    if (status == ReadStatus::ok) error = "'" + std::string(kGeneSampleFile) + "': " + error;
    std::fprintf(stderr, "kesmir: %s; starting with a generated seed sample\n", error.c_str());
    generateSampleB();
}

}  // namespace kesmir
