// The ten-bin histograms of the Absorption and Spine War reports: one table
// says which sample, gene word and field each bins, one loop bins them all.
#include <algorithm>

#include "reports/model/report_computations.h"
#include "reports/model/report_stats.h"
#include "reports/model/spot_sample.h"
#include "world/genes.h"
#include "world/lists.h"

namespace kesmir::reports {

namespace {

enum class Sample { plants, herbivores, carnivores };
enum class Word { chrom1, chrom2, chrom3 };

struct TraitHistogram {
    Sample sample;
    Word word;
    GeneField field;
    float divisor;  // the trait is (field + 1) / divisor
    float* sum;     // where the traits are added up, or nullptr
};

constexpr float k6 = 65.0f;  // the divisor of every six-bit trait

// The histograms, in the order of the functions below.
enum Member {
    plantAbsorption,
    herbivoreAbsorption,
    carnivoreAbsorption,
    camouflage,
    sight,
    poisonStrength,
    poisonResistance,
    spines,
    spineEating,
};

// clang-format off
const TraitHistogram kHistograms[] = {
    // sample            word          field                        divisor sum
    {Sample::plants,      Word::chrom1, genes::plantAbsorption,      15.0f, &sumPAbs},
    {Sample::herbivores,  Word::chrom1, genes::animalAbsorption,     12.0f, &sumHAbs},
    {Sample::carnivores,  Word::chrom1, genes::animalAbsorption,      9.0f, &sumCAbs},
    {Sample::herbivores,  Word::chrom2, genes::herbivoreCamouflage,   k6,    nullptr},
    {Sample::carnivores,  Word::chrom3, genes::carnivoreSight,        k6,    nullptr},
    {Sample::plants,      Word::chrom2, genes::plantPoison,           k6,    nullptr},
    {Sample::herbivores,  Word::chrom2, genes::herbivoreResistance,   k6,    nullptr},
    {Sample::plants,      Word::chrom2, genes::plantSpines,           k6,    nullptr},
    {Sample::herbivores,  Word::chrom2, genes::herbivoreSpineEating,  k6,    nullptr},
};
// clang-format on

uint32_t wordOf(const plant& p, Word word) {
    return word == Word::chrom1 ? p.chrom1 : p.chrom2;
}

uint32_t wordOf(const animal& a, Word word) {
    switch (word) {
        case Word::chrom1:
            return a.chrom1;
        case Word::chrom2:
            return a.chrom2;
        case Word::chrom3:
            return a.chrom3;
    }
    return 0;
}

// The trait is single precision, the bin limits 0.1 * j double precision:
// so field 38 of a six-bit trait, 39/65 = 0.60000002f, lands in bin 6 where
// the double quotient 0.6 would land in bin 5.
void addToBin(float trait) {
    const double value = trait;
    for (int j = 0; j < 10; ++j) {
        if (0.1 * j <= value && value < 0.1 * (j + 1)) ++hist[j];
    }
}

template <class Record>
void binSample(const Record* sample, int32_t count, const TraitHistogram& h) {
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t v = field(wordOf(sample[i], h.word), h.field);
        const float trait = static_cast<float>(v + 1) / h.divisor;
        if (h.sum != nullptr) *h.sum += trait;
        addToBin(trait);
    }
}

void fillHistogram(const TraitHistogram& h) {
    std::fill(std::begin(hist), std::end(hist), 0);
    if (h.sum != nullptr) *h.sum = 0;
    switch (h.sample) {
        case Sample::plants:
            return binSample(SP, Psamp, h);
        case Sample::herbivores:
            return binSample(SH, Hsamp, h);
        case Sample::carnivores:
            return binSample(SC, Csamp, h);
    }
}

}  // namespace

void Pabsorbs() {
    fillHistogram(kHistograms[plantAbsorption]);
}
void Habsorbs() {
    fillHistogram(kHistograms[herbivoreAbsorption]);
}
void Cabsorbs() {
    fillHistogram(kHistograms[carnivoreAbsorption]);
}

void camoWar() {
    fillHistogram(kHistograms[camouflage]);
}
void seeWar() {
    fillHistogram(kHistograms[sight]);
}
void strengthWar() {
    fillHistogram(kHistograms[poisonStrength]);
}
void resistWar() {
    fillHistogram(kHistograms[poisonResistance]);
}
void spineWar() {
    fillHistogram(kHistograms[spines]);
}
void eatWar() {
    fillHistogram(kHistograms[spineEating]);
}

}  // namespace kesmir::reports
