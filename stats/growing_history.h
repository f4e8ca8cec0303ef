// A history of one entry per cycle that the simulation thread appends to
// while other threads read it.
//
// Entries never move and never change once appended: they live in blocks
// that are allocated as the history grows and never freed while it runs,
// and a reader sees an entry only after size() (an acquire load) has counted
// it. Appending costs a store and a release store, plus one allocation every
// kBlockSize entries.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>

namespace kesmir {

template <class Entry, std::size_t kBlockEntries, std::size_t kBlockCount>
class GrowingHistory {
  public:
    static constexpr std::size_t kBlockSize = kBlockEntries;
    static constexpr std::size_t kBlocks = kBlockCount;

    // Simulation thread only. An entry whose cycle is not after the last
    // one's is dropped (a resumed run reports its checkpoint's cycle again);
    // so are entries past the last block's end.
    void append(const Entry& entry) {
        const std::size_t n = size_.load(std::memory_order_relaxed);
        if (n > 0 && (*this)[n - 1].cycle >= entry.cycle) return;
        const std::size_t block = n / kBlockSize;
        if (block >= kBlocks) return;
        if (!blocks_[block]) blocks_[block] = std::make_unique<Entry[]>(kBlockSize);
        blocks_[block][n % kBlockSize] = entry;
        size_.store(n + 1, std::memory_order_release);
    }

    // The number of entries a reader may look at.
    std::size_t size() const { return size_.load(std::memory_order_acquire); }

    // Entry `i`, for i < a size() this thread has read.
    const Entry& operator[](std::size_t i) const { return blocks_[i / kBlockSize][i % kBlockSize]; }

    // Forgets every entry. Only while no other thread reads the history.
    void clear() {
        size_.store(0, std::memory_order_relaxed);
        for (auto& block : blocks_)
            block.reset();
    }

  private:
    std::array<std::unique_ptr<Entry[]>, kBlocks> blocks_;
    std::atomic<std::size_t> size_{0};
};

}  // namespace kesmir
