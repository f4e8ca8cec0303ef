#include "sim/move.h"

#include <algorithm>

#include "sim/integer_wheel.h"
#include "sim/parallel/worker_pool.h"
#include "sim/step_timings.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/random.h"
#include "world/small_divisor.h"

namespace kesmir {

namespace {

// w / s in single precision for every weight w (0..7) and sum s (0..56):
// the eight weights are three-bit whole numbers, so their sum is one too,
// exact in any order, and each normalised weight is one of these quotients.
struct Quotients {
    float of[57][8];
    Quotients() {
        for (int s = 0; s <= 56; ++s)
            for (int w = 0; w < 8; ++w)
                of[s][w] = s == 0 ? 0.0f : static_cast<float>(w) / static_cast<float>(s);
    }
};
const Quotients kQuotients;

}  // namespace

DirectionWheel::DirectionWheel(uint32_t chrom4) {
    uint32_t weights[9];
    uint32_t sum = 0;
    for (int k = 1; k <= 8; ++k) {
        weights[k] = field(chrom4, genes::directionWeight(k));
        sum += weights[k];
    }
    allZero_ = sum == 0;
    const float* quotient = kQuotients.of[sum];
    weight_[0] = 0.0f;
    total_[0] = 0.0f;
    float running = 0.0f;
    for (int k = 1; k <= 8; ++k) {
        weight_[k] = quotient[weights[k]];
        running += weight_[k];
        total_[k] = running;
    }
}

int DirectionWheel::wrappedIndex(float r) const {
    // The walk wraps through stay (weight 0) and goes on adding from E.
    float running = total_[8];
    int k = 8;
    while (r > running) {
        ++k;
        if (k > 8) k = 0;
        running += weight_[k];
    }
    return k;
}

namespace {

// Moves every animal of one kind: up to nine targets are tried until one has
// no animal of the kind on it; the tenth is taken whatever stands there.
//
// Each move lands on a cell at random, so the moves are made fast by asking
// memory for the next animals' cells early. Their first targets are known as
// soon as the generator's state at their start is: nearly every animal takes
// its first target (a few percent of cells hold an animal of the kind), so
// the state is predicted by assuming exactly that, two draws per animal, and
// re-predicted from the true state whenever an animal needed more tries. A
// wrong prediction only fetches a cell in vain; the moves themselves use the
// true draws.
class Mover {
  public:
    Mover(animal* list, int32_t count, SlotLayer& slots, int32_t baseSteps)
        : list_(list), count_(count), slots_(slots), baseSteps_(baseSteps) {}

    void run() {
        for (int32_t i = 0; i < count_; ++i) {
            planAhead(i);
            moveOne(i);
        }
    }

  private:
    static constexpr int32_t kAhead = 8;
    static constexpr int32_t kRing = 16;  // a power of two above kAhead

    // What is worked out for an animal before its turn: its wheel and step
    // divisor, and its first target as drawn from the predicted state.
    struct Plan {
        IntegerWheel wheel;
        SmallDivisor steps{1};
        uint32_t start = 0;       // the generator state the first target was drawn from
        uint32_t afterFirst = 0;  // and the state after it
        vt first{};
    };

    // One target: a step count and a direction, two draws.
    vt pick(const Plan& plan, vt p) const {
        const int32_t steps = baseSteps_ + plan.steps.remainder(draw());
        return bound(sum(p, scale(steps, dir[plan.wheel.index(draw())])));
    }

    void planAhead(int32_t i) {
        if (plannedUpTo_ <= i || plans_[i % kRing].start != randState) {
            plannedUpTo_ = i;  // an earlier animal needed more than one target
            predictedState_ = randState;
        }
        const uint32_t trueState = randState;
        const int32_t last = std::min(count_, i + kAhead);
        for (; plannedUpTo_ < last; ++plannedUpTo_) {
            const animal& a = list_[plannedUpTo_];
            Plan& plan = plans_[plannedUpTo_ % kRing];
            plan.wheel = IntegerWheel(a.chrom4);
            plan.steps =
                SmallDivisor::of(baseSteps_ + static_cast<int32_t>(field(a.chrom4, genes::speed)));
            plan.start = predictedState_;
            randState = predictedState_;
            const vt p{a.x, a.y};
            plan.first = pick(plan, p);
            plan.afterFirst = predictedState_ = randState;
            slots_.prefetchBit(cellIndex(plan.first));
            slots_.prefetchForWriting(cellIndex(plan.first));
            slots_.prefetchForWriting(cellIndex(p));
        }
        randState = trueState;
    }

    void moveOne(int32_t i) {
        animal& a = list_[i];
        const Plan& plan = plans_[i % kRing];  // planned from the true state
        const vt p{a.x, a.y};
        vt target = plan.first;
        randState = plan.afterFirst;
        for (int tries = 1; tries < 10 && slots_.occupied(cellIndex(target)); ++tries)
            target = pick(plan, p);
        if (slots_.occupied(cellIndex(target))) slots_.noteRecordsSharing();  // the tenth, taken
        slots_.clear(cellIndex(p));
        storePosition(a, target.x, target.y);
        slots_.set(cellIndex(target), slotFor(a, i));
    }

    animal* list_;
    int32_t count_;
    SlotLayer& slots_;
    int32_t baseSteps_;
    int32_t plannedUpTo_ = 0;  // animals below this have their plan
    uint32_t predictedState_ = 0;
    Plan plans_[kRing];
};

// The moves run one after another on the simulation thread whatever the
// number of threads: each move depends on the generator and on the cells the
// moves before it left and took. Handing the slot writes to another thread
// (as reproduction does with its nutrient writes) was measured slower here:
// with the cells asked for early, the writes cost the chain little.
void moveAll(animal* list, int32_t count, SlotLayer& slots, int32_t baseSteps) {
    Mover(list, count, slots, baseSteps).run();
}

}  // namespace

void moveHerbivores() {
    SerialTimer t(stepTimings, Step::moveHerbivores);
    if (simulationThreads() > 1)
        moveOnTwoThreads(HL, Hpop, E.herbivore, 1);
    else
        moveAll(HL, Hpop, E.herbivore, 1);
}
void moveCarnivores() {
    SerialTimer t(stepTimings, Step::moveCarnivores);
    moveAll(CL, Cpop, E.carnivore, 3);
}

}  // namespace kesmir
