// Movement: the direction draw `move` and the two movement steps.
#pragma once

#include <cstdint>

#include "world/vt.h"

namespace kesmir {

// The eight direction weights of one chrom4 word, normalised, ready for the
// roulette walk. Built once per animal and step: every look-up of that animal
// then spins the same wheel, which gives exactly the floats that normalising
// before every spin would give.
class DirectionWheel {
  public:
    explicit DirectionWheel(uint32_t chrom4);

    // One direction, drawn with one fRan.
    vt spin() const;

  private:
    float weight_[9];  // weight_[0] (stay) is 0
    bool allZero_;
};

// One entry of `dir` drawn by the gene's direction weights.
inline vt move(uint32_t gene) {
    return DirectionWheel(gene).spin();
}

void moveHerbivores();
void moveCarnivores();

}  // namespace kesmir
