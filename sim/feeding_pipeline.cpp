// Feeding on several threads. The eaters must still feed one after another
// in list order: an eater may take prey that a later one would have found.
// But most of an eater's work does not depend on what earlier eaters did:
// every eater takes a fixed number of draws, so the generator state it
// starts from is known in advance by jumping the generator, and with it the
// cells it will look at; and while the step runs a cell can only lose its
// prey, never gain one, so a look-up that finds nothing it could eat when
// looked at early finds nothing later either. The eaters are cut into
// chunks; any thread works out a chunk's look-ups and keeps those that may
// find food, and the simulation thread feeds the chunks in order, visiting
// only the kept look-ups and testing each cell again, as a single pass would.
#include <algorithm>
#include <atomic>
#include <bit>
#include <memory>

#include "sim/feeding.h"
#include "sim/worker_pool.h"

namespace kesmir {

namespace {

template <class Feeding>
class FeedingPipeline {
  public:
    FeedingPipeline(animal* eaters, int32_t count, typename Feeding::Prey* prey, SlotLayer& slots)
        : eaters_(eaters),
          count_(count),
          chunks_(Pieces{count, kChunk}.size()),
          prey_(prey),
          slots_(slots),
          start_(randState),
          ring_(ring()) {
        for (int32_t r = 0; r < kRing; ++r)
            ring_[r].prepared.store(-1, std::memory_order_relaxed);
    }

    // Returns how many prey were eaten.
    int32_t run() {
        int32_t eaten = 0;
        simulationPool().runOnAll([&](int thread) {
            if (thread == 0) {
                eaten = feedAll();
            } else {
                int rounds = 0;
                while (claimed_.load(std::memory_order_relaxed) < chunks_)
                    if (!prepareNext()) pauseBriefly(rounds);
            }
        });
        randState =
            RandomJump::of(uint64_t{2} * kLookUps * static_cast<uint64_t>(count_)).apply(start_);
        return eaten;
    }

  private:
    static constexpr int kLookUps = Feeding::kLookUps;
    static constexpr int32_t kChunk = 128;  // eaters
    static constexpr int32_t kRing = 32;    // chunks prepared ahead at most
    // How many eaters ahead of the feeding their prey is asked for.
    static constexpr int32_t kFetchAhead = 4;

    struct Found {
        int32_t cell;
        Slot slot;  // unchanged for as long as the cell stays occupied
    };
    // One chunk's look-ups that may find food, eater by eater.
    struct Chunk {
        std::atomic<int32_t> prepared{-1};  // the chunk held, once complete
        int32_t first[kChunk + 1];          // eater e's are found[first[e], first[e + 1])
        Found found[kChunk * kLookUps];
    };

    // Kept for the process: the ring is touched every cycle.
    static Chunk* ring() {
        static const std::unique_ptr<Chunk[]> chunks(new Chunk[kRing]);
        return chunks.get();
    }

    bool hungry(const animal& eater) const { return Feeding::satiety(eater) > eater.energy; }

    // Claims the next chunk if its place in the ring is free and works it out.
    bool prepareNext() {
        int32_t next = claimed_.load(std::memory_order_relaxed);
        if (next >= chunks_ || next >= fed_.load(std::memory_order_acquire) + kRing) return false;
        if (!claimed_.compare_exchange_strong(next, next + 1, std::memory_order_relaxed))
            return false;
        prepare(next);
        return true;
    }

    void prepare(int32_t k) {
        const int32_t begin = k * kChunk;
        const int32_t end = std::min(count_, begin + kChunk);
        Chunk& chunk = ring_[k % kRing];
        LocalRandom random(
            RandomJump::of(uint64_t{2} * kLookUps * static_cast<uint64_t>(begin)).apply(start_));
        // The cells of every hungry eater's look-ups; then which of them are
        // occupied (their slots asked for); then which hold prey the eater
        // could eat. Each stage's memory accesses overlap.
        int32_t cells[kChunk][kLookUps];
        uint64_t occupied[kChunk];
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
        int32_t n = 0;
        for (int32_t e = 0; e < end - begin; ++e) {
            chunk.first[e] = n;
            const uint32_t ability = Feeding::ability(eaters_[begin + e]);
            for (uint64_t rest = occupied[e]; rest != 0; rest &= rest - 1) {
                const int32_t cell = cells[e][std::countr_zero(rest)];
                const Slot slot = slots_[cell];
                if (slot != kEmpty && ability >= defenceOf(slot)) chunk.found[n++] = {cell, slot};
            }
        }
        chunk.first[end - begin] = n;
        chunk.prepared.store(k, std::memory_order_release);
    }

    int32_t feedAll() {
        int32_t eaten = 0;
        for (int32_t k = 0; k < chunks_; ++k) {
            const Chunk& chunk = ring_[k % kRing];
            int rounds = 0;
            while (chunk.prepared.load(std::memory_order_acquire) != k)
                if (!prepareNext()) pauseBriefly(rounds);
            eaten += feedChunk(k, chunk);
            fed_.store(k + 1, std::memory_order_release);
        }
        return eaten;
    }

    void fetchPreyOf(const Chunk& chunk, int32_t e) const {
        for (int32_t f = chunk.first[e]; f < chunk.first[e + 1]; ++f) {
            const Found& found = chunk.found[f];
            __builtin_prefetch(&prey_[indexOf(found.slot)], 1);
            __builtin_prefetch(&E.nutrient[found.cell], 1);
            slots_.prefetchForWriting(found.cell);
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
            if (chunk.first[e] == chunk.first[e + 1]) continue;
            animal& eater = eaters_[begin + e];
            const float satiety = Feeding::satiety(eater);
            const float coefficient = absorptionCoefficient<Feeding>(eater);
            for (int32_t f = chunk.first[e]; f < chunk.first[e + 1]; ++f) {
                if (!(satiety > eater.energy)) break;
                const Found& found = chunk.found[f];
                if (!slots_.occupied(found.cell)) continue;  // eaten by an earlier eater
                takePrey(eater, prey_[indexOf(found.slot)], coefficient, found.cell, slots_);
                ++eaten;
            }
        }
        return eaten;
    }

    animal* eaters_;
    int32_t count_;
    int32_t chunks_;
    typename Feeding::Prey* prey_;
    SlotLayer& slots_;
    uint32_t start_;  // the generator's state before the first look-up
    Chunk* ring_;
    std::atomic<int32_t> claimed_{0};  // chunks handed out to be worked out
    std::atomic<int32_t> fed_{0};      // chunks fed
};

}  // namespace

int32_t grazeOnAllThreads(animal* herbivores, int32_t count) {
    return FeedingPipeline<Grazing>(herbivores, count, PL, E.plant).run();
}

int32_t huntOnAllThreads(animal* carnivores, int32_t count) {
    return FeedingPipeline<Hunting>(carnivores, count, HL, E.herbivore).run();
}

}  // namespace kesmir
