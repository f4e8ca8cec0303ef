#include "sim/move.h"

#include "world/genes.h"
#include "world/lists.h"
#include "world/random.h"

namespace kesmir {

DirectionWheel::DirectionWheel(uint32_t chrom4) {
    weight_[0] = 0.0f;
    float total = 0.0f;
    for (int k = 1; k <= 8; ++k) {
        weight_[k] = static_cast<float>(field(chrom4, genes::directionWeight(k)));
        total += weight_[k];
    }
    allZero_ = total == 0.0f;
    if (allZero_) return;
    for (int k = 1; k <= 8; ++k)
        weight_[k] /= total;
}

vt DirectionWheel::spin() const {
    const float r = fRan();
    // With no weights the normalised weights are 0/0: the walk takes one step
    // to E, and the comparison with the undefined total then ends it.
    if (allZero_) return r > 0.0f ? dir[1] : dir[0];
    // The roulette walk: a zero weight never ends it, and a total left just
    // below r by rounding wraps through stay (weight 0) back to E.
    float running = 0.0f;
    int k = 0;
    while (r > running) {
        ++k;
        if (k > 8) k = 0;
        running += weight_[k];
    }
    return dir[k];
}

namespace {

// Moves every animal of one kind: up to nine targets are tried until one has
// no animal of the kind on it; the tenth is taken whatever stands there.
void moveAnimals(animal* list, int32_t count, Slot* slots, int32_t baseSteps) {
    for (int32_t i = 0; i < count; ++i) {
        animal& a = list[i];
        const int32_t m = baseSteps + static_cast<int32_t>(field(a.chrom4, genes::speed));
        const DirectionWheel wheel(a.chrom4);
        const vt p{a.x, a.y};
        vt target{};
        for (int tries = 1;; ++tries) {
            const int32_t steps = baseSteps + draw() % m;
            target = bound(sum(p, scale(steps, wheel.spin())));
            if (tries == 10 || slots[cellIndex(target)] == kEmpty) break;
        }
        slots[cellIndex(p)] = kEmpty;
        storePosition(a, target.x, target.y);
        slots[cellIndex(target)] = slotOf(i);
    }
}

}  // namespace

void moveHerbivores() {
    moveAnimals(HL, Hpop, E.herbivore, 1);
}
void moveCarnivores() {
    moveAnimals(CL, Cpop, E.carnivore, 3);
}

}  // namespace kesmir
