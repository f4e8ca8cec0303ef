// Moves on two threads. The moves must still be made one after another in
// list order: a move's tries depend on the cells the moves before it left and
// took, and its draws on how many tries the moves before it took. But nearly
// every move takes its first target, and the cells a move tests are seldom
// the ones the moves just before it touched.
//
// So a second thread runs ahead of the chain, working out every mover's
// targets in order from the generator state the movers before it would leave
// if their tries were as it found them, against the layer as it stands. The
// chain then takes a worked-out move if it started from the true state and
// every cell it tested still holds what it held then: a single pass would
// have drawn and tested exactly the same. Otherwise the chain moves the
// animal itself, and if its tries differ from the ones worked out, sends the
// thread ahead back to start again from the true state after it.
#include <algorithm>
#include <atomic>
#include <memory>

#include "sim/move.h"
#include "sim/parallel/worker_pool.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/small_divisor.h"

namespace kesmir {

namespace {

constexpr int kMostTries = 10;
// Moves whose tried cells are kept for the check; a move with more tries
// is made again by the chain (its tries are still known, so the moves after
// it stand).
constexpr int kKeptTries = 4;

// One mover's targets as worked out from a generator state.
struct Aim {
    uint32_t start;
    int32_t tries;
    vt target;
    int32_t occupiedCells[kKeptTries - 1];  // the tries before the last, while kept
};

// The jumps of 2, 4, .. 2 * kMostTries draws: two per try.
struct TryJumps {
    RandomJump after[kMostTries + 1];
    constexpr TryJumps() {
        for (int t = 0; t <= kMostTries; ++t)
            after[t] = RandomJump::of(uint64_t{2} * static_cast<uint64_t>(t));
    }
};
constexpr TryJumps kTryJumps;

class MovesAhead {
  public:
    MovesAhead(animal* list, int32_t count, SlotLayer& slots, int32_t baseSteps)
        : list_(list),
          count_(count),
          slots_(slots),
          baseSteps_(baseSteps),
          ring_(ring()),
          restartState_(randState) {}

    void run() {
        simulationPool().runOnAll([&](int thread) {
            if (thread == 0) {
                moveAll();
            } else if (thread == 1) {
                workAhead();
            }
        });
        AheadCounts& counts = movesAheadCounts();
        counts.worked += count_;
        counts.redone += redone_;
    }

  private:
    static constexpr int32_t kRing = 4096;     // movers worked out ahead at most
    static constexpr int32_t kPublish = 16;    // movers made known to the chain at a time
    static constexpr int32_t kFetchAhead = 8;  // movers ahead whose cells the chain asks for

    static Aim* ring() {
        static const std::unique_ptr<Aim[]> aims(new Aim[kRing]);
        return aims.get();
    }

    // The targets of `a` drawn from `state`, tested against the layer now.
    void aim(const animal& a, uint32_t state, Aim& out) const {
        const DirectionWheel wheel(a.chrom4);
        const SmallDivisor& steps =
            SmallDivisor::of(baseSteps_ + static_cast<int32_t>(field(a.chrom4, genes::speed)));
        const vt p{relaxedLoad(a.x), relaxedLoad(a.y)};
        LocalRandom random(state);
        out.start = state;
        int32_t tries = 0;
        for (;;) {
            const int32_t reach = baseSteps_ + steps.remainder(random.draw());
            out.target = bound(sum(p, scale(reach, dir[wheel.index(random.fRan())])));
            if (++tries == kMostTries || !slots_.occupied(cellIndex(out.target))) break;
            if (tries < kKeptTries) out.occupiedCells[tries - 1] = cellIndex(out.target);
        }
        out.tries = tries;
    }

    // Whether the chain would test the same cells and find them as `aim`
    // found them.
    bool intact(const Aim& aim) const {
        if (aim.tries > kKeptTries || slots_.occupied(cellIndex(aim.target))) return false;
        for (int32_t t = 0; t + 1 < aim.tries; ++t)
            if (!slots_.occupied(aim.occupiedCells[t])) return false;
        return true;
    }

    // The thread ahead: works out the movers in order until the chain is
    // done, starting again wherever the chain sends it.
    void workAhead() {
        uint32_t epoch = 0;
        int32_t next = 0;
        uint32_t state = restartState_;
        int32_t moved = 0;
        int rounds = 0;
        while (true) {
            const uint32_t asked = epoch_.load(std::memory_order_acquire);
            if (asked != epoch) {
                epoch = asked;
                next = restartIndex_;
                state = restartState_;
            }
            if (next >= count_ || next >= moved + kRing) {
                publish(epoch, next);
                moved = moved_.load(std::memory_order_acquire);
                if (moved >= count_) return;
                pauseBriefly(rounds);
                continue;
            }
            rounds = 0;
            Aim& out = ring_[next % kRing];
            aim(list_[next], state, out);
            state = kTryJumps.after[out.tries].apply(state);
            ++next;
            if (next % kPublish == 0) publish(epoch, next);
        }
    }

    void publish(uint32_t epoch, int32_t upTo) {
        published_.store(uint64_t{epoch} << 32 | static_cast<uint32_t>(upTo),
                         std::memory_order_release);
    }

    // The chain: waits for mover i to be worked out in the current epoch.
    void awaitAim(int32_t i) {
        int rounds = 0;
        while (true) {
            const uint64_t seen = published_.load(std::memory_order_acquire);
            if (static_cast<uint32_t>(seen >> 32) == epoch_.load(std::memory_order_relaxed) &&
                static_cast<int32_t>(static_cast<uint32_t>(seen)) > i) {
                availableUpTo_ = static_cast<int32_t>(static_cast<uint32_t>(seen));
                return;
            }
            pauseBriefly(rounds);
        }
    }

    void fetchCellsOf(int32_t i) const {
        const Aim& ahead = ring_[i % kRing];
        const animal& a = list_[i];
        slots_.prefetchForWriting(cellIndex(ahead.target));
        slots_.prefetchForWriting(cellIndex(vt{a.x, a.y}));
    }

    void moveAll() {
        uint32_t state = randState;
        for (int32_t i = 0; i < count_; ++i) {
            if (i >= availableUpTo_) awaitAim(i);
            if (i + kFetchAhead < availableUpTo_) fetchCellsOf(i + kFetchAhead);
            const Aim& ahead = ring_[i % kRing];
            animal& a = list_[i];
            Aim own;
            const Aim* used = &ahead;
            if (ahead.start != state || !intact(ahead)) {
                ++redone_;
                aim(a, state, own);
                used = &own;
                if (own.tries != ahead.tries || ahead.start != state) {
                    // The movers worked out after this one started from a
                    // state that is not the true one.
                    restartIndex_ = i + 1;
                    restartState_ = kTryJumps.after[own.tries].apply(state);
                    epoch_.store(epoch_.load(std::memory_order_relaxed) + 1,
                                 std::memory_order_release);
                    availableUpTo_ = i + 1;
                }
            }
            state = kTryJumps.after[used->tries].apply(state);
            const vt target = used->target;
            if (slots_.occupied(cellIndex(target))) slots_.noteRecordsSharing();  // the tenth
            slots_.clear(cellIndex(vt{a.x, a.y}));
            storePosition(a, target.x, target.y);
            slots_.set(cellIndex(target), slotFor(a, i));
            if ((i + 1) % kPublish == 0 || i + 1 == count_)
                moved_.store(i + 1, std::memory_order_release);
        }
        moved_.store(count_, std::memory_order_release);
        randState = state;
    }

    animal* list_;
    int32_t count_;
    SlotLayer& slots_;
    int32_t baseSteps_;
    Aim* ring_;
    int64_t redone_ = 0;         // chain only
    int32_t availableUpTo_ = 0;  // chain only
    // Where the chain sends the thread ahead: written before epoch_ is raised,
    // read after it is seen raised, and not written again until the thread
    // ahead has published in the new epoch.
    int32_t restartIndex_ = 0;
    uint32_t restartState_;
    alignas(64) std::atomic<uint32_t> epoch_{0};
    alignas(64) std::atomic<uint64_t> published_{0};  // epoch << 32 | movers worked out
    alignas(64) std::atomic<int32_t> moved_{0};       // movers the chain has moved
};

}  // namespace

AheadCounts& movesAheadCounts() {
    static AheadCounts counts;
    return counts;
}

void moveOnTwoThreads(animal* list, int32_t count, SlotLayer& slots, int32_t baseSteps) {
    MovesAhead(list, count, slots, baseSteps).run();
}

}  // namespace kesmir
