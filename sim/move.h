// Movement: the direction draw `move` and the two movement steps.
#pragma once

#include <cstdint>

#include "sim/ahead_counts.h"
#include "world/grid.h"
#include "world/lists.h"
#include "world/random.h"
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
    vt spin() const { return dir[index(fRan())]; }

    // The direction index (0 stay, 1 E .. 8 SE) the walk gives for r.
    int index(float r) const {
        // The roulette walk: from a running total of 0, step to the next
        // direction and add its weight while r is above the total.
        if (!(r > 0.0f)) return 0;  // the walk never starts: stay
        // With no weights the normalised weights are 0/0: the walk takes one
        // step to E, and the comparison with the undefined total ends it.
        if (allZero_) return 1;
        // The totals never decrease, so the walk ends on the first direction
        // whose total reaches r: one plus the number of totals below r.
        int below = 0;
        for (int k = 1; k <= 8; ++k)
            below += total_[k] < r;
        return below < 8 ? below + 1 : wrappedIndex(r);
    }

    // The running total after direction k, 1 (E) .. 8 (SE).
    float total(int k) const { return total_[k]; }

  private:
    // Rounding left the total after SE just below r.
    int wrappedIndex(float r) const;

    // weight_[k] is the normalised weight of direction k (weight_[0], stay,
    // is 0); total_[k] the running total of the walk after adding it.
    float weight_[9];
    float total_[9];
    bool allZero_ = true;
};

// One entry of `dir` drawn by the gene's direction weights.
inline vt move(uint32_t gene) {
    return DirectionWheel(gene).spin();
}

void moveHerbivores();
void moveCarnivores();

// The moves of a list with a second thread working out targets ahead of the
// ordered pass; the same bits as the pass on one thread. With
// workedOutFirst (for tests; lists of at most 4096) the ordered pass waits
// until every remaining mover is worked out, so that how many are moved
// again does not depend on timing.
enum class AheadPace { overlapped, workedOutFirst };
void moveOnTwoThreads(animal* list, int32_t count, SlotLayer& slots, int32_t baseSteps,
                      AheadPace pace = AheadPace::overlapped);
// Movers worked out ahead, and how many the ordered pass moved again itself;
// summed since the process started (simulation thread; for the benchmark).
AheadCounts& movesAheadCounts();

}  // namespace kesmir
