// Work that a step's serial chain hands over to a second thread, done there
// in the order it was handed over. Some steps must run their records one
// after another, but part of what a record does feeds nothing later in the
// chain (a birth's writes to the nutrient layer, say): the chain logs that
// part and goes on, while one other thread does it, entry after entry, as
// the chain would have, without the chain waiting on memory for it.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "sim/parallel/worker_pool.h"
#include "world/checks.h"
#include "world/lazy_memory.h"

namespace kesmir {

template <class Entry>
class OrderedLog {
  public:
    // Runs chain(log) on the calling thread while another thread of the
    // simulation's pool does what it logs: apply(entry) for every entry in
    // order, fetch(entry) a few entries ahead. Returns when both are done.
    // Needs a pool of two threads or more: on one, nothing would drain the
    // log and the chain would wait for room for ever.
    template <class Chain, class Apply, class Fetch>
    static void runChain(Chain&& chain, Apply&& apply, Fetch&& fetch) {
        KESMIR_ASSERT(simulationThreads() >= 2, "an ordered log needs two threads or more");
        OrderedLog log;
        simulationPool().runOnAll([&](int thread) {
            if (thread == 0) {
                chain(log);
                log.published_.store(log.pushed_, std::memory_order_release);
                log.closed_.store(true, std::memory_order_release);
            } else if (thread == 1) {
                log.drain(apply, fetch);
            }
        });
    }

    // The chain's side: waits only when the other thread is a whole ring
    // behind. Entries are handed over a batch at a time, so that the two
    // threads share a cache line once per batch rather than once per entry.
    void push(const Entry& entry) {
        if (pushed_ - appliedSeen_ >= kCapacity) waitForRoom();
        entries_[pushed_ & kMask] = entry;
        ++pushed_;
        if ((pushed_ & (kBatch - 1)) == 0) published_.store(pushed_, std::memory_order_release);
    }

  private:
    static constexpr int64_t kCapacity = int64_t{1} << 18;
    static constexpr int64_t kMask = kCapacity - 1;
    static constexpr int64_t kBatch = 64;
    static constexpr int64_t kFetchAhead = 8;

    OrderedLog() : entries_(ring()) {}

    // Kept for the process: the ring is used every cycle.
    static Entry* ring() {
        static Entry* const entries = reserveArray<Entry>(kCapacity, "an ordered log");
        return entries;
    }

    void waitForRoom() {
        int rounds = 0;
        while ((appliedSeen_ = applied_.load(std::memory_order_acquire)) <= pushed_ - kCapacity)
            pauseBriefly(rounds);
    }

    template <class Apply, class Fetch>
    void drain(Apply& apply, Fetch& fetch) {
        int64_t applied = 0;
        int64_t fetched = 0;
        int rounds = 0;
        for (;;) {
            const int64_t published = published_.load(std::memory_order_acquire);
            if (applied == published) {
                if (closed_.load(std::memory_order_acquire) &&
                    published_.load(std::memory_order_acquire) == applied)
                    return;
                pauseBriefly(rounds);
                continue;
            }
            rounds = 0;
            for (; applied < published; ++applied) {
                for (const int64_t until = std::min(published, applied + kFetchAhead);
                     fetched < until; ++fetched)
                    fetch(entries_[fetched & kMask]);
                apply(entries_[applied & kMask]);
            }
            applied_.store(applied, std::memory_order_release);
        }
    }

    // What each thread writes lies on a cache line of its own.
    Entry* entries_;
    int64_t pushed_ = 0;       // chain thread only
    int64_t appliedSeen_ = 0;  // chain thread's last look at applied_
    alignas(64) std::atomic<int64_t> published_{0};
    std::atomic<bool> closed_{false};
    alignas(64) std::atomic<int64_t> applied_{0};
};

}  // namespace kesmir
