// Feeding on several threads. The eaters must still feed one after another
// in list order: an eater may take prey that a later one would have found.
// But nearly all of an eater's work does not depend on what earlier eaters
// did: every eater takes a fixed number of draws, so the generator state it
// starts from is known in advance by jumping the generator, and with it the
// cells it will look at; and while the step runs a cell can only lose its
// prey, never gain one, so a look-up that finds nothing it could eat when
// looked at early finds nothing later either.
//
// So any thread works out a group of eaters whole: their look-ups, and the
// meals each would make if no earlier eater took its prey first, with the
// energies those meals give. The simulation thread then goes through the
// eaters in order and only checks that every predicted meal's cell still
// holds its prey; if so the prediction is what a single pass would have
// done (the cells it found empty stay empty), else the eater is fed again
// from its look-ups, as a single pass would. Either way the chain only
// marks the eaten cells empty and logs the meals: no prey record, nutrient
// level or slot is written until the chain is done, so the prey energies the
// predictions read stand still. The logged meals touch a prey and a cell
// each, every one its own, and are served afterwards on all threads.
#include <algorithm>
#include <atomic>
#include <bit>
#include <memory>

#include "sim/feeding.h"
#include "sim/parallel/worker_pool.h"
#include "sim/step_timings.h"
#include "world/lazy_memory.h"

namespace kesmir {

namespace {

// One meal the chain decided on: the prey, its cell and the energy it keeps.
struct Meal {
    int32_t cell;
    int32_t prey;
    float remainder;
};

// Kept for the process, reused by every feeding: at most one meal per prey.
Meal* mealLog() {
    static Meal* const meals = reserveArray<Meal>(kListCapacity, "the meal log");
    return meals;
}

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
          ring_(ring()),
          meals_(mealLog()) {
        for (int32_t r = 0; r < kRing; ++r)
            ring_[r].done.store(0, std::memory_order_relaxed);
    }

    // Returns how many prey were eaten.
    int32_t run() {
        simulationPool().runOnAll([&](int thread) {
            if (thread == 0) {
                feedAll();
            } else {
                int rounds = 0;
                while (claimed_.load(std::memory_order_relaxed) < groups_)
                    if (!prepareNext()) pauseBriefly(rounds);
            }
        });
        randState =
            RandomJump::of(uint64_t{2} * kLookUps * static_cast<uint64_t>(count_)).apply(start_);
        serveMeals();
        AheadCounts& counts = feedingAheadCounts();
        counts.worked += worked_;
        counts.redone += redone_;
        return mealCount_;
    }

  private:
    static constexpr int kLookUps = Feeding::kLookUps;
    static constexpr int32_t kGroup = 16;          // eaters worked out at a time
    static constexpr int32_t kChunk = 8 * kGroup;  // eaters fed at a time
    static constexpr int32_t kGroupsPerChunk = kChunk / kGroup;
    static constexpr int32_t kRing = 32;  // chunks prepared ahead at most
    // How many eaters ahead of the chain the cells of their meals are asked for.
    static constexpr int32_t kFetchAhead = 4;
    static constexpr int32_t kMealsPerPiece = 1 << 14;

    struct Found {
        int32_t cell;
        Slot slot;        // unchanged for as long as the cell stays occupied
        float remainder;  // the prey's energy after the predicted meal, if one
    };
    // One chunk's look-ups that may find food: eater e's are
    // found[e * kLookUps ..] up to count[e]; the predicted meals are the
    // entries whose bits are set in eats[e], and they leave the eater with
    // energy[e].
    struct Chunk {
        std::atomic<int32_t> done{0};  // groups worked out
        int32_t count[kChunk];
        uint64_t eats[kChunk];
        float energy[kChunk];
        Found found[kChunk * kLookUps];
    };
    static_assert(kLookUps <= 64);

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
        // could eat (the prey asked for); then the meals. Each stage's
        // memory accesses overlap.
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
                if (slot == kEmpty || ability < defenceOf(slot) || seen(found, n, cell)) continue;
                prefetchLine(&prey_[indexOf(slot)]);
                found[n++] = {cell, slot, 0.0f};
            }
            chunk.count[at] = n;
        }
        for (int32_t e = begin; e < end; ++e) {
            const int32_t at = e - chunkBegin;
            predictMeals(eaters_[e], &chunk.found[at * kLookUps], chunk.count[at], chunk.eats[at],
                         chunk.energy[at]);
        }
        chunk.done.fetch_add(1, std::memory_order_release);
    }

    // Whether an earlier look-up of the eater found the cell. A cell looked
    // at again never gives a meal: the first look lost it or ate it, or the
    // eater was sated before the second. The prediction, which eats nothing
    // for real, must not count it twice.
    static bool seen(const Found* found, int32_t count, int32_t cell) {
        for (int32_t f = 0; f < count; ++f)
            if (found[f].cell == cell) return true;
        return false;
    }

    // The meals an eater makes if no earlier eater of the chunks not yet
    // fed takes its prey first: the found cells in order while it is below
    // its satiety level, skipping those already eaten.
    void predictMeals(const animal& eater, Found* found, int32_t count, uint64_t& eats,
                      float& energy) const {
        const float satiety = Feeding::satiety(eater);
        const float coefficient = absorptionCoefficient<Feeding>(eater);
        eats = 0;
        energy = eater.energy;
        for (int32_t f = 0; f < count; ++f) {
            if (!(satiety > energy)) break;
            if (!slots_.occupied(found[f].cell)) continue;  // eaten by an earlier eater
            const float preyEnergy = prey_[indexOf(found[f].slot)].energy;
            const float taken = preyEnergy * coefficient;
            energy = taken + energy;
            found[f].remainder = preyEnergy - taken;
            eats |= uint64_t{1} << f;
        }
    }

    void feedAll() {
        for (int32_t k = 0; k < chunks_; ++k) {
            Chunk& chunk = ring_[k % kRing];
            int rounds = 0;
            while (chunk.done.load(std::memory_order_acquire) != groupsIn(k))
                if (!prepareNext()) pauseBriefly(rounds);
            {
                SerialTimer t(stepTimings, Step::eat);
                feedChunk(k, chunk);
            }
            chunk.done.store(0, std::memory_order_relaxed);
            fed_.store(k + 1, std::memory_order_release);
        }
    }

    void fetchMealsOf(const Chunk& chunk, int32_t e) const {
        const Found* found = &chunk.found[e * kLookUps];
        for (uint64_t rest = chunk.eats[e]; rest != 0; rest &= rest - 1)
            slots_.prefetchBit(found[std::countr_zero(rest)].cell);
    }

    // The chain: every eater's predicted meals if their prey are all still
    // there, else its meals made again.
    void feedChunk(int32_t k, const Chunk& chunk) {
        const int32_t begin = k * kChunk;
        const int32_t size = std::min(count_, begin + kChunk) - begin;
        for (int32_t e = 0; e < size && e < kFetchAhead; ++e)
            fetchMealsOf(chunk, e);
        for (int32_t e = 0; e < size; ++e) {
            if (e + kFetchAhead < size) fetchMealsOf(chunk, e + kFetchAhead);
            if (chunk.count[e] == 0) continue;
            ++worked_;
            animal& eater = eaters_[begin + e];
            const Found* found = &chunk.found[e * kLookUps];
            const uint64_t eats = chunk.eats[e];
            bool intact = true;
            for (uint64_t rest = eats; rest != 0 && intact; rest &= rest - 1)
                intact = slots_.occupied(found[std::countr_zero(rest)].cell);
            if (!intact) {
                ++redone_;
                feedAgain(eater, found, chunk.count[e]);
                continue;
            }
            eater.energy = chunk.energy[e];
            for (uint64_t rest = eats; rest != 0; rest &= rest - 1) {
                const Found& meal = found[std::countr_zero(rest)];
                logMeal(meal.cell, meal.slot, meal.remainder);
            }
        }
    }

    // The eater's meals as a single pass makes them, from the true state.
    void feedAgain(animal& eater, const Found* found, int32_t count) {
        const float satiety = Feeding::satiety(eater);
        const float coefficient = absorptionCoefficient<Feeding>(eater);
        for (int32_t f = 0; f < count; ++f) {
            if (!(satiety > eater.energy)) break;
            if (!slots_.occupied(found[f].cell)) continue;  // eaten by an earlier eater
            const float preyEnergy = prey_[indexOf(found[f].slot)].energy;
            const float taken = preyEnergy * coefficient;
            eater.energy = taken + eater.energy;
            logMeal(found[f].cell, found[f].slot, preyEnergy - taken);
        }
    }

    // The cell is eaten from now on; the rest of the meal waits for serving.
    void logMeal(int32_t cell, Slot slot, float remainder) {
        slots_.markEmpty(cell);
        meals_[mealCount_++] = Meal{cell, indexOf(slot), remainder};
    }

    // What takePrey does beyond the eater, for every logged meal: no two
    // meals share a prey or a cell, so they are served in pieces on all
    // threads.
    void serveMeals() {
        const Pieces pieces{mealCount_, kMealsPerPiece};
        forEachPiece(pieces.size(), [&](int32_t p) {
            constexpr int32_t kAhead = 24;
            const int32_t end = pieces.end(p);
            for (int32_t m = pieces.begin(p); m < end; ++m) {
                if (m + kAhead < end) {
                    const Meal& next = meals_[m + kAhead];
                    prefetchLine(&prey_[next.prey]);
                    prefetchLine(&E.nutrient[next.cell]);
                    slots_.prefetchSlot(next.cell);
                }
                const Meal& meal = meals_[m];
                auto& q = prey_[meal.prey];
                q.energy = meal.remainder;
                setNutrient(meal.cell, meal.remainder + nutrientAt(meal.cell));
                slots_.setSlot(meal.cell, kEmpty);
                q.alive = 0;
            }
        });
    }

    animal* eaters_;
    int32_t count_;
    int32_t groups_;
    int32_t chunks_;
    typename Feeding::Prey* prey_;
    SlotLayer& slots_;
    uint32_t start_;  // the generator's state before the first look-up
    Chunk* ring_;
    Meal* meals_;
    int32_t mealCount_ = 0;  // simulation thread only, like the counts below
    int64_t worked_ = 0;
    int64_t redone_ = 0;
    alignas(64) std::atomic<int32_t> claimed_{0};  // groups handed out to be worked out
    alignas(64) std::atomic<int32_t> fed_{0};      // chunks fed
};

}  // namespace

AheadCounts& feedingAheadCounts() {
    static AheadCounts counts;
    return counts;
}

int32_t grazeOnAllThreads(animal* herbivores, int32_t count) {
    return FeedingPipeline<Grazing>(herbivores, count, PL, E.plant).run();
}

int32_t huntOnAllThreads(animal* carnivores, int32_t count) {
    return FeedingPipeline<Hunting>(carnivores, count, HL, E.herbivore).run();
}

}  // namespace kesmir
