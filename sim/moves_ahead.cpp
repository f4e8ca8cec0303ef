// Moves on two threads. The moves must still be made one after another in
// list order: a move's tries depend on the cells the moves before it left and
// took, and its draws on how many tries the moves before it took. But nearly
// every move takes its first target, and the cells a move tests are seldom
// the ones the moves just before it touched.
//
// So a second thread runs ahead of the chain, working out every mover's
// targets in order from the generator state the movers before it would leave
// if their tries were as it found them, against its own copy of the
// occupancy bits (OwnBits). The chain then takes a worked-out move if it
// started from the true state and every cell it tested holds in the layer
// what it held in the copy: a single pass would have drawn and tested
// exactly the same. Otherwise the chain moves the
// animal itself, and if its tries differ from the ones worked out, sends the
// thread ahead back to start again from the true state after it.
//
// The chain never waits long for the thread ahead: when it has caught up and
// the thread ahead does not follow within microseconds (it may have lost its
// core), the chain moves the next animals alone, and the thread ahead skips
// to where the chain has got when it runs again.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "sim/integer_wheel.h"
#include "sim/move.h"
#include "sim/parallel/worker_pool.h"
#include "world/checks.h"
#include "world/genes.h"
#include "world/lists.h"
#include "world/prefetch.h"
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
    // The move as the thread ahead made it in its own bits, to take back.
    int32_t fromCell;
    bool fromWasSet, targetWasSet;
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

// The thread ahead's own copy of the occupancy bits, taken as the moves
// begin and kept up to date with the moves it works out: it tests each
// mover's targets against the cells the movers before it will have left and
// taken, and reads no line the chain writes. Where its moves turn out wrong
// (rarely) the copy strays from the layer by a cell or two; the chain checks
// every worked-out move against the layer itself, so that only costs moves
// made again.
class OwnBits {
  public:
    void copy(const SlotLayer& layer) {
        words_.resize(kWords);
        std::memcpy(words_.data(), layer.bitWords(), kWords * sizeof(uint64_t));
    }
    bool occupied(int32_t cell) const { return (words_[word(cell)] >> (cell & 63)) & 1u; }
    void assign(int32_t cell, bool set) {
        if (set)
            this->set(cell);
        else
            clear(cell);
    }
    void set(int32_t cell) { words_[word(cell)] |= bitOf(cell); }
    void prefetch(int32_t cell) const { prefetchLine(&words_[word(cell)]); }
    void clear(int32_t cell) { words_[word(cell)] &= ~bitOf(cell); }

  private:
    static constexpr std::size_t kWords = (kCells + 63) / 64;
    static std::size_t word(int32_t cell) { return static_cast<std::size_t>(cell >> 6); }
    static uint64_t bitOf(int32_t cell) { return uint64_t{1} << (cell & 63); }
    std::vector<uint64_t> words_;
};

OwnBits& ownBitsOfTheThreadAhead() {
    static OwnBits bits;
    return bits;
}

class MovesAhead {
  public:
    MovesAhead(animal* list, int32_t count, SlotLayer& slots, int32_t baseSteps, AheadPace pace)
        : list_(list),
          count_(count),
          slots_(slots),
          baseSteps_(baseSteps),
          pace_(pace),
          ring_(ring()),
          ownBits_(ownBitsOfTheThreadAhead()),
          progress_(progressOf(0, randState)) {}

    void run() {
        ownBits_.copy(slots_);
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
        counts.alone += alone_;
    }

  private:
    static constexpr int32_t kRing = 4096;     // movers worked out ahead at most
    static constexpr int32_t kPublish = 16;    // movers made known to the other thread at a time
    static constexpr int32_t kFetchAhead = 8;  // movers ahead whose cells the chain asks for
    // Movers ahead whose own bit of the cell they leave the thread ahead
    // asks for. (Asking for the bit of the first target as well, drawn from
    // a predicted state, measured slower: the thread ahead is bound by its
    // own work more than by memory.)
    static constexpr int32_t kFromAhead = 16;
    // How long the chain waits for the thread ahead before moving on alone
    // (rounds of spinning, then of yielding: tens of microseconds), and for
    // how many movers it then stops waiting (about a millisecond's work): a
    // thread ahead that lost its core must not hold the chain up. Waiting
    // 64 rounds and stopping for 4096 movers left 13-19 % of the moves to
    // the chain alone, against 1-2 % with these.
    static constexpr int kPatience = 256;
    static constexpr int32_t kAloneStretch = 16384;

    static Aim* ring() {
        static const std::unique_ptr<Aim[]> aims(new Aim[kRing]);
        return aims.get();
    }

    // The chain's progress: movers moved, and the true generator state after them.
    static uint64_t progressOf(int32_t moved, uint32_t state) {
        return uint64_t{static_cast<uint32_t>(moved)} << 32 | state;
    }
    static int32_t movedIn(uint64_t progress) { return static_cast<int32_t>(progress >> 32); }
    static uint32_t stateIn(uint64_t progress) { return static_cast<uint32_t>(progress); }

    // The targets of `a` drawn from `state`, tested against `layer` as it
    // stands.
    template <class Layer>
    void aim(const animal& a, uint32_t state, const Layer& layer, Aim& out) const {
        const IntegerWheel wheel(a.chrom4);
        const SmallDivisor& steps =
            SmallDivisor::of(baseSteps_ + static_cast<int32_t>(field(a.chrom4, genes::speed)));
        const vt p{relaxedLoad(a.x), relaxedLoad(a.y)};
        LocalRandom random(state);
        out.start = state;
        int32_t tries = 0;
        for (;;) {
            const int32_t reach = baseSteps_ + steps.remainder(random.draw());
            out.target = bound(sum(p, scale(reach, dir[wheel.index(random.draw())])));
            if (++tries == kMostTries || !layer.occupied(cellIndex(out.target))) break;
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
    // done. It starts again from the chain's progress when the chain finds
    // its states wrong (a new epoch), and skips ahead to it when the chain
    // has moved past it alone.
    void workAhead() {
        uint32_t epoch = epoch_.load(std::memory_order_acquire);
        int32_t next = 0;
        uint32_t state = stateIn(progress_.load(std::memory_order_acquire));
        int32_t moved = 0;
        int32_t runStart = 0;  // where the thread ahead last started or skipped to
        int rounds = 0;
        while (true) {
            const bool full = next >= count_ || next >= moved + kRing;
            if (full || next % kPublish == 0) {
                const uint32_t asked = epoch_.load(std::memory_order_acquire);
                const uint64_t progress = progress_.load(std::memory_order_acquire);
                moved = movedIn(progress);
                if (moved >= count_) return;
                if (asked != epoch || next < moved) {
                    if (asked != epoch) {
                        const int32_t wrong =
                            std::max(runStart, restartAt_.load(std::memory_order_relaxed) - 1);
                        correctOwnBits(wrong, next, moved);
                    }
                    epoch = asked;
                    next = moved;
                    runStart = moved;
                    state = stateIn(progress);
                }
            }
            if (next >= count_ || next >= moved + kRing) {
                publish(epoch, next);
                pauseBriefly(rounds);
                continue;
            }
            rounds = 0;
            if (next + kFromAhead < count_) {
                const animal& later = list_[next + kFromAhead];
                ownBits_.prefetch(cellIndex(vt{relaxedLoad(later.x), relaxedLoad(later.y)}));
            }
            Aim& out = ring_[next % kRing];
            const animal& a = list_[next];
            aim(a, state, ownBits_, out);
            out.fromCell = cellIndex(vt{relaxedLoad(a.x), relaxedLoad(a.y)});
            out.fromWasSet = ownBits_.occupied(out.fromCell);
            ownBits_.clear(out.fromCell);
            out.targetWasSet = ownBits_.occupied(cellIndex(out.target));
            ownBits_.set(cellIndex(out.target));
            state = kTryJumps.after[out.tries].apply(state);
            ++next;
            if (next % kPublish == 0) publish(epoch, next);
        }
    }

    // The chain found mover `wrong` worked out wrong: takes back the moves
    // from it to `next` in the thread's own bits, latest first, and makes
    // those the chain has made since (up to `moved`) as the chain made them.
    void correctOwnBits(int32_t wrong, int32_t next, int32_t moved) {
        for (int32_t j = next - 1; j >= wrong; --j) {
            const Aim& made = ring_[j % kRing];
            ownBits_.assign(cellIndex(made.target), made.targetWasSet);
            ownBits_.assign(made.fromCell, made.fromWasSet);
        }
        for (int32_t j = wrong; j < std::min(next, moved); ++j) {
            const animal& a = list_[j];
            ownBits_.clear(ring_[j % kRing].fromCell);
            ownBits_.set(cellIndex(vt{relaxedLoad(a.x), relaxedLoad(a.y)}));
        }
    }

    void publish(uint32_t epoch, int32_t upTo) {
        published_.store(uint64_t{epoch} << 32 | static_cast<uint32_t>(upTo),
                         std::memory_order_release);
    }

    // Whether the thread ahead has worked out mover i in the current epoch.
    bool workedOut(int32_t i) {
        const uint64_t seen = published_.load(std::memory_order_acquire);
        if (static_cast<uint32_t>(seen >> 32) != epoch_.load(std::memory_order_relaxed))
            return false;
        const int32_t upTo = static_cast<int32_t>(static_cast<uint32_t>(seen));
        if (upTo <= i) return false;
        availableUpTo_ = upTo;
        return true;
    }

    // Mover i as worked out ahead, or null when the chain moves it alone.
    const Aim* aheadOf(int32_t i) {
        if (i < availableUpTo_ || workedOut(i)) return &ring_[i % kRing];
        if (pace_ == AheadPace::workedOutFirst) {
            KESMIR_ASSERT(count_ <= kRing, "moves worked out first need a list that fits the ring");
            // Every mover worked out before the chain goes on: the outcome
            // no longer depends on how far ahead the thread got.
            int rounds = 0;
            while (!workedOut(count_ - 1))
                pauseBriefly(rounds);
            return &ring_[i % kRing];
        }
        if (i < aloneUntil_) return nullptr;
        for (int rounds = 0; rounds < kPatience;) {
            pauseBriefly(rounds);
            if (workedOut(i)) return &ring_[i % kRing];
        }
        aloneUntil_ = i + kAloneStretch;
        return nullptr;
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
            const Aim* ahead = aheadOf(i);
            if (i + kFetchAhead < availableUpTo_) fetchCellsOf(i + kFetchAhead);
            animal& a = list_[i];
            Aim own;
            const Aim* used = ahead;
            if (ahead == nullptr || ahead->start != state || !intact(*ahead)) {
                aim(a, state, slots_, own);
                used = &own;
                if (ahead == nullptr) {
                    ++alone_;
                } else {
                    ++redone_;
                    if (own.tries != ahead->tries || ahead->start != state) {
                        // The movers worked out after this one started from a
                        // state that is not the true one.
                        const uint32_t after = kTryJumps.after[own.tries].apply(state);
                        progress_.store(progressOf(i + 1, after), std::memory_order_release);
                        restartAt_.store(i + 1, std::memory_order_relaxed);
                        epoch_.store(epoch_.load(std::memory_order_relaxed) + 1,
                                     std::memory_order_release);
                        availableUpTo_ = i + 1;
                    }
                }
            }
            state = kTryJumps.after[used->tries].apply(state);
            const vt target = used->target;
            if (slots_.occupied(cellIndex(target))) slots_.noteRecordsSharing();  // the tenth
            slots_.clear(cellIndex(vt{a.x, a.y}));
            storePosition(a, target.x, target.y);
            slots_.set(cellIndex(target), slotFor(a, i));
            if ((i + 1) % kPublish == 0)
                progress_.store(progressOf(i + 1, state), std::memory_order_release);
        }
        progress_.store(progressOf(count_, state), std::memory_order_release);
        randState = state;
    }

    animal* list_;
    int32_t count_;
    SlotLayer& slots_;
    int32_t baseSteps_;
    AheadPace pace_;
    Aim* ring_;
    OwnBits& ownBits_;  // the thread ahead's, once the threads run
    // The chain's own.
    int64_t redone_ = 0;
    int64_t alone_ = 0;
    int32_t availableUpTo_ = 0;
    int32_t aloneUntil_ = 0;
    alignas(64) std::atomic<uint32_t> epoch_{0};
    std::atomic<int32_t> restartAt_{0};  // the mover after the one found wrong; read after epoch_
    alignas(64) std::atomic<uint64_t> published_{0};  // epoch << 32 | movers worked out
    alignas(64) std::atomic<uint64_t> progress_;      // progressOf(moved, state after them)
};

}  // namespace

AheadCounts& movesAheadCounts() {
    static AheadCounts counts;
    return counts;
}

void moveOnTwoThreads(animal* list, int32_t count, SlotLayer& slots, int32_t baseSteps,
                      AheadPace pace) {
    MovesAhead(list, count, slots, baseSteps, pace).run();
}

}  // namespace kesmir
