#include "reports/model/report_computations.h"

#include <algorithm>

#include "reports/model/report_stats.h"
#include "reports/model/spot_sample.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/params.h"

namespace kesmir::reports {

namespace {

// The marker of the organisms descended from a generated seed sample B.
constexpr uint32_t kSampleBMarker = 61680;  // 0xF0F0

// A six-bit trait counts as below the top value 64/65 (0.984615) when its
// single-precision effectiveness is under 0.9846 in double precision: that
// is, unless all six bits are set.
bool belowTop(uint32_t v) {
    return static_cast<double>(sixBitFraction(v)) < 0.9846;
}

void widenExtremes(float energy, float& lowest, float& highest) {
    if (energy < lowest) lowest = energy;
    if (energy > highest) highest = energy;
}

// The direction weights of one animal as probabilities; all zero when the
// animal has no weight at all.
void profileOfLast(const animal* sample, int32_t count) {
    if (count == 0) return;
    const uint32_t chrom4 = sample[count - 1].chrom4;
    float total = 0;
    for (int k = 1; k <= 8; ++k) {
        dirProb[k] = static_cast<float>(field(chrom4, genes::directionWeight(k)));
        total += dirProb[k];
    }
    for (int k = 1; k <= 8; ++k)
        dirProb[k] = total > 0 ? dirProb[k] / total : 0.0f;
}

int32_t speedSum(const animal* sample, int32_t count, int32_t lowestSpeed) {
    int32_t sum = 0;
    for (int32_t i = 0; i < count; ++i)
        sum += static_cast<int32_t>(field(sample[i].chrom4, genes::speed)) + lowestSpeed;
    return sum;
}

}  // namespace

void seeEN() {
    pMin = 5000;
    pMax = -5000;
    page = 0;
    sumEn = sumAbs = sumEnergy = sumSat = sumPsen = 0;
    const float metabolicOffset = PMoffset;
    const float satietyOffset = PSoffset;
    const int32_t senescenceOffset = PNoffset;
    for (int32_t i = 0; i < Psamp; ++i) {
        const plant& p = SP[i];
        const float metab =
            static_cast<float>(field(p.chrom1, genes::plantMetabolism)) + metabolicOffset;
        const float absorb =
            static_cast<float>(field(p.chrom1, genes::plantAbsorption) + 1) / 15.0f;
        const float satiety =
            static_cast<float>(field(p.chrom1, genes::plantSatiety)) + satietyOffset;
        const int32_t Psenescence =
            static_cast<int32_t>(field(p.chrom1, genes::plantSenescence)) + senescenceOffset;
        page += p.age;
        pMin = std::min(pMin, p.age);
        pMax = std::max(pMax, p.age);
        sumEn += metab;
        sumAbs += absorb;
        sumSat += satiety;
        sumPsen += static_cast<float>(Psenescence);
        sumEnergy += p.energy;
    }
}

void seeHDR() {
    profileOfLast(SH, Hsamp);
    Hspeed = speedSum(SH, Hsamp, Hmin);
    Cspeed = speedSum(SC, Csamp, Cmin);
}

void seeCDR() {
    profileOfLast(SC, Csamp);
}

void compareGenes() {
    sampleEnergy = {100000.0f, -100000.0f, 100000.0f, -100000.0f, 100000.0f, -100000.0f};
    psum = ssum = hsum = camSum = eatSum = seeSum = 0;
    for (int32_t i = 0; i < Psamp; ++i) {
        const plant& p = SP[i];
        if (belowTop(field(p.chrom2, genes::plantPoison))) ++psum;
        if (belowTop(field(p.chrom2, genes::plantSpines))) ++ssum;
        widenExtremes(p.energy, sampleEnergy.pmin, sampleEnergy.pmax);
    }
    for (int32_t i = 0; i < Hsamp; ++i) {
        const animal& h = SH[i];
        if (belowTop(field(h.chrom2, genes::herbivoreResistance))) ++hsum;
        widenExtremes(h.energy, sampleEnergy.hmin, sampleEnergy.hmax);
        if (belowTop(field(h.chrom2, genes::herbivoreSpineEating))) ++eatSum;
        if (belowTop(field(h.chrom2, genes::herbivoreCamouflage))) ++camSum;
    }
    for (int32_t i = 0; i < Csamp; ++i) {
        const animal& c = SC[i];
        if (belowTop(field(c.chrom3, genes::carnivoreSight))) ++seeSum;
        widenExtremes(c.energy, sampleEnergy.cmin, sampleEnergy.cmax);
    }
}

void countGM() {
    std::fill(std::begin(hist), std::end(hist), 0);
    for (int32_t i = 0; i < Psamp; ++i)
        ++hist[SP[i].GM == kSampleBMarker ? 1 : 0];
    for (int32_t i = 0; i < Hsamp; ++i)
        ++hist[SH[i].GM == kSampleBMarker ? 3 : 2];
    for (int32_t i = 0; i < Csamp; ++i)
        ++hist[SC[i].GM == kSampleBMarker ? 5 : 4];
}

}  // namespace kesmir::reports
