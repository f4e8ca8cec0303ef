// The statistics behind the reports. Each makes one pass over the spot sample
// (SP, SH, SC with Psamp, Hsamp, Csamp), decodes the traits as the simulation
// does, resets and then fills only its own results in report_stats.h.
#pragma once

namespace kesmir::reports {

// Energy: plant metabolism, absorption, energy, satiety, senescence, ages.
void seeEN();

// Direction: dirProb := the profile of the last herbivore of the sample (left
// as it was when there is none), and both speed sums.
void seeHDR();
// dirProb := the profile of the last carnivore of the sample, likewise.
void seeCDR();

// Compare: energy extremes and the counts below the top effectiveness.
void compareGenes();

// Markers: hist[0..5] := plants, herbivores, carnivores not marked 61680 and
// marked 61680, in that order; hist[6..9] := 0.
void countGM();

// Ten-bin histograms into hist: the absorption coefficients with their sums
// (sumPAbs, sumHAbs, sumCAbs) ...
void Pabsorbs();
void Habsorbs();
void Cabsorbs();
// ... and the effectiveness of the defences and the traits that overcome them.
void camoWar();      // herbivore camouflage
void seeWar();       // carnivore sight
void strengthWar();  // plant poison strength
void resistWar();    // herbivore poison resistance
void spineWar();     // plant spines
void eatWar();       // herbivore ability to eat spines

}  // namespace kesmir::reports
