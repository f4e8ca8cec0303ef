// Feeding on several threads. The eaters must still feed one after another
// in list order: an eater may take prey that a later one would have found.
// But most of an eater's work does not depend on what earlier eaters did:
// every eater takes a fixed number of draws, so the generator state it
// starts from is known in advance by jumping the generator, and with it the
// cells it will look at; and while the step runs a cell can only lose its
// prey, never gain one, so a look-up that finds nothing it could eat when
// looked at early finds nothing later either. Any thread works out the
// look-ups of a group of eaters and keeps those that may find food; the
// simulation thread feeds the eaters in order, visiting only the kept
// look-ups and testing each cell again, as a single pass would.
#include <algorithm>
#include <atomic>
#include <bit>
#include <memory>

#include "sim/feeding.h"
#include "sim/parallel/worker_pool.h"

namespace kesmir {

namespace {

// The eaters are worked out a small group at a time by whichever thread
// claims the group, in order; the simulation thread feeds whole chunks of
// groups in order, and while the chunk it needs next is not ready it claims
// groups too, so that no thread waits while there is work.
template <class Feeding>
class FeedingPipeline {
  public:
    FeedingPipeline(animal* eaters, int32_t count, typename Feeding::Prey* prey, SlotLayer& slots)
        : eaters_(eaters),
          count_(count),
          groups_(Pieces{count, kGroup}.size()),
          chunks_(Pieces{count, kChunk}.size()),
          prey_(prey),
          slots_(slots),
          start_(randState),
          ring_(ring()) {
        for (int32_t r = 0; r < kRing; ++r)
            ring_[r].done.store(0, std::memory_order_relaxed);
    }

    // Returns how many prey were eaten.
    int32_t run() {
        int32_t eaten = 0;
        simulationPool().runOnAll([&](int thread) {
            if (thread == 0) {
                eaten = feedAll();
            } else {
                int rounds = 0;
                while (claimed_.load(std::memory_order_relaxed) < groups_)
                    if (!prepareNext()) pauseBriefly(rounds);
            }
        });
        randState =
            RandomJump::of(uint64_t{2} * kLookUps * static_cast<uint64_t>(count_)).apply(start_);
        return eaten;
    }

  private:
    static constexpr int kLookUps = Feeding::kLookUps;
    static constexpr int32_t kGroup = 16;          // eaters worked out at a time
    static constexpr int32_t kChunk = 8 * kGroup;  // eaters fed at a time
    static constexpr int32_t kGroupsPerChunk = kChunk / kGroup;
    static constexpr int32_t kRing = 32;  // chunks prepared ahead at most
    // How many eaters ahead of the feeding their prey is asked for.
    static constexpr int32_t kFetchAhead = 4;

    struct Found {
        int32_t cell;
        Slot slot;  // unchanged for as long as the cell stays occupied
    };
    // One chunk's look-ups that may find food: eater e's are
    // found[e * kLookUps ..] up to count[e].
    struct Chunk {
        std::atomic<int32_t> done{0};  // groups worked out
        int32_t count[kChunk];
        Found found[kChunk * kLookUps];
    };

    // Kept for the process: the ring is touched every cycle.
    static Chunk* ring() {
        static const std::unique_ptr<Chunk[]> chunks(new Chunk[kRing]);
        return chunks.get();
    }

    int32_t groupsIn(int32_t k) const {
        return std::min(kGroupsPerChunk, groups_ - k * kGroupsPerChunk);
    }

    bool hungry(const animal& eater) const { return Feeding::satiety(eater) > eater.energy; }

    // Claims the next group if its chunk has a place in the ring and works
    // it out.
    bool prepareNext() {
        int32_t next = claimed_.load(std::memory_order_relaxed);
        if (next >= groups_ ||
            next / kGroupsPerChunk >= fed_.load(std::memory_order_acquire) + kRing)
            return false;
        if (!claimed_.compare_exchange_strong(next, next + 1, std::memory_order_relaxed))
            return false;
        prepare(next);
        return true;
    }

    void prepare(int32_t group) {
        const int32_t begin = group * kGroup;
        const int32_t end = std::min(count_, begin + kGroup);
        const int32_t chunkBegin = group / kGroupsPerChunk * kChunk;
        Chunk& chunk = ring_[group / kGroupsPerChunk % kRing];
        LocalRandom random(
            RandomJump::of(uint64_t{2} * kLookUps * static_cast<uint64_t>(begin)).apply(start_));
        // The cells of every hungry eater's look-ups; then which of them are
        // occupied (their slots asked for); then which hold prey the eater
        // could eat. Each stage's memory accesses overlap.
        int32_t cells[kGroup][kLookUps];
        uint64_t occupied[kGroup];
        for (int32_t e = begin; e < end; ++e) {
            occupied[e - begin] = 0;
            if (hungry(eaters_[e])) {
                aimLookUps<Feeding>(eaters_[e], random, cells[e - begin], slots_);
                occupied[e - begin] = ~uint64_t{0};
            } else {
                random.skip(kLookUpDraws<Feeding>);
            }
        }
        for (int32_t e = 0; e < end - begin; ++e) {
            if (occupied[e] == 0) continue;
            occupied[e] = 0;
            for (int look = 0; look < kLookUps; ++look) {
                if (!slots_.occupied(cells[e][look])) continue;
                occupied[e] |= uint64_t{1} << look;
                slots_.prefetchSlot(cells[e][look]);
            }
        }
        for (int32_t e = 0; e < end - begin; ++e) {
            const uint32_t ability = Feeding::ability(eaters_[begin + e]);
            const int32_t at = begin + e - chunkBegin;
            Found* found = &chunk.found[at * kLookUps];
            int32_t n = 0;
            for (uint64_t rest = occupied[e]; rest != 0; rest &= rest - 1) {
                const int32_t cell = cells[e][std::countr_zero(rest)];
                const Slot slot = slots_[cell];
                if (slot != kEmpty && ability >= defenceOf(slot)) found[n++] = {cell, slot};
            }
            chunk.count[at] = n;
        }
        chunk.done.fetch_add(1, std::memory_order_release);
    }

    int32_t feedAll() {
        int32_t eaten = 0;
        for (int32_t k = 0; k < chunks_; ++k) {
            Chunk& chunk = ring_[k % kRing];
            int rounds = 0;
            while (chunk.done.load(std::memory_order_acquire) != groupsIn(k))
                if (!prepareNext()) pauseBriefly(rounds);
            eaten += feedChunk(k, chunk);
            chunk.done.store(0, std::memory_order_relaxed);
            fed_.store(k + 1, std::memory_order_release);
        }
        return eaten;
    }

    void fetchPreyOf(const Chunk& chunk, int32_t e) const {
        const Found* found = &chunk.found[e * kLookUps];
        for (int32_t f = 0; f < chunk.count[e]; ++f) {
            prefetchLine(&prey_[indexOf(found[f].slot)]);
            prefetchLine(&E.nutrient[found[f].cell]);
            slots_.prefetchForWriting(found[f].cell);
        }
    }

    int32_t feedChunk(int32_t k, const Chunk& chunk) {
        const int32_t begin = k * kChunk;
        const int32_t size = std::min(count_, begin + kChunk) - begin;
        for (int32_t e = 0; e < size && e < kFetchAhead; ++e)
            fetchPreyOf(chunk, e);
        int32_t eaten = 0;
        for (int32_t e = 0; e < size; ++e) {
            if (e + kFetchAhead < size) fetchPreyOf(chunk, e + kFetchAhead);
            if (chunk.count[e] == 0) continue;
            animal& eater = eaters_[begin + e];
            const float satiety = Feeding::satiety(eater);
            const float coefficient = absorptionCoefficient<Feeding>(eater);
            const Found* found = &chunk.found[e * kLookUps];
            for (int32_t f = 0; f < chunk.count[e]; ++f) {
                if (!(satiety > eater.energy)) break;
                if (!slots_.occupied(found[f].cell)) continue;  // eaten by an earlier eater
                takePrey(eater, prey_[indexOf(found[f].slot)], coefficient, found[f].cell, slots_);
                ++eaten;
            }
        }
        return eaten;
    }

    animal* eaters_;
    int32_t count_;
    int32_t groups_;
    int32_t chunks_;
    typename Feeding::Prey* prey_;
    SlotLayer& slots_;
    uint32_t start_;  // the generator's state before the first look-up
    Chunk* ring_;
    alignas(64) std::atomic<int32_t> claimed_{0};  // groups handed out to be worked out
    alignas(64) std::atomic<int32_t> fed_{0};      // chunks fed
};

}  // namespace

int32_t grazeOnAllThreads(animal* herbivores, int32_t count) {
    return FeedingPipeline<Grazing>(herbivores, count, PL, E.plant).run();
}

int32_t huntOnAllThreads(animal* carnivores, int32_t count) {
    return FeedingPipeline<Hunting>(carnivores, count, HL, E.herbivore).run();
}

}  // namespace kesmir
