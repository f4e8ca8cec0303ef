// The results of the report computations over the spot sample, kept until
// the next computation of the same report overwrites them. Only the window
// thread touches them.
//
// They live in a namespace of their own: names such as `max` and `page` must
// not meet the standard library's.
#pragma once

#include <cstdint>

namespace kesmir::reports {

// Ten bins of 0.1 for the trait histograms, or the six marker counts.
extern int32_t hist[10];

// Energy report: sums over the sampled plants, and their ages.
extern float sumEn;      // metabolic costs
extern float sumAbs;     // absorption coefficients
extern float sumEnergy;  // energies
extern float sumSat;     // satiety levels
extern float sumPsen;    // senescent ages
extern int64_t page;     // ages; 64-bit, as a million ages can pass 2^31
extern int32_t pMin;     // 5000 when no plant was sampled
extern int32_t pMax;     // -5000 when no plant was sampled

// Direction report: the movement probabilities of one animal by direction
// index 1 (E) to 8 (SE); index 0 (stay) is never written.
extern float dirProb[9];
extern int32_t Hspeed;  // speed sums over the sampled herbivores
extern int32_t Cspeed;  // and carnivores

// Compare report: the sample's energy extremes. Kept apart from the
// population's extremes of the same names, which culling rewrites every
// cycle for the status line.
struct EnergyExtremes {
    float pmin, pmax;
    float hmin, hmax;
    float cmin, cmax;
};
extern EnergyExtremes sampleEnergy;
extern int32_t psum;    // plants with poison strength below the top value
extern int32_t ssum;    // plants with spine probability below the top value
extern int32_t hsum;    // herbivores with poison resistance below the top value
extern int32_t camSum;  // herbivores with camouflage below the top value
extern int32_t eatSum;  // herbivores with spine-eating ability below the top value
extern int32_t seeSum;  // carnivores with sight below the top value

// Absorption report: sums of the absorption coefficients.
extern float sumPAbs;
extern float sumHAbs;
extern float sumCAbs;
// The largest absorption coefficient of the kind just histogrammed.
extern float max;

}  // namespace kesmir::reports
