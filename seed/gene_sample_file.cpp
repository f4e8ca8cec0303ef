#include "seed/gene_sample_file.h"

#include <cstdio>

#include "seed/safe_file.h"
#include "seed/seeding.h"
#include "seed/text_scanner.h"
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
    if (!written.ok) {
        std::fprintf(stderr, "kesmir: cannot write %s (%s); the previous file is kept\n",
                     kGeneSampleFile, written.error.c_str());
    }
}

namespace {

bool readPlant(TextScanner& in, plant& p) {
    return in.readUnsigned(p.chrom1) && in.readUnsigned(p.chrom2) && in.readUnsigned(p.GM) &&
           in.readFloat(p.energy) && in.readInt(p.age);
}

bool readAnimal(TextScanner& in, animal& a) {
    return in.readUnsigned(a.chrom1) && in.readUnsigned(a.chrom3) && in.readUnsigned(a.chrom2) &&
           in.readUnsigned(a.chrom4) && in.readUnsigned(a.GM) && in.readFloat(a.energy) &&
           in.readInt(a.age);
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
    if (!ok) {
        error = in.error();
        return false;
    }
    if (!in.atEnd()) {
        error = "more than 3000 records";
        return false;
    }
    return true;
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
    const ReadStatus status = readWholeFile(kGeneSampleFile, text, error);
    if (status == ReadStatus::missing) return generateSampleB();
    if (status == ReadStatus::ok && parseSample(text, error)) {
        seedSampleBSize = kLoadedSeedSampleSize;
        return;
    }
    std::fprintf(stderr, "kesmir: %s: %s; starting with a generated seed sample\n", kGeneSampleFile,
                 error.c_str());
    generateSampleB();
}

}  // namespace kesmir
