// Well-defined access to model state that other threads read while the
// simulation thread writes it. The display and the nutrient logger tolerate a
// picture that mixes two moments of a cycle, but every single value they read
// must be whole: these helpers make each such access an atomic one. Relaxed
// order is enough (nothing is published through these values), and on x86 a
// relaxed load or store is a plain move, so the hot loops pay nothing for it.
#pragma once

#include <atomic>

#include "world/checks.h"

namespace kesmir {

template <class T>
inline T relaxedLoad(const T& value) {
    return std::atomic_ref<T>(const_cast<T&>(value)).load(std::memory_order_relaxed);
}

template <class T>
inline void relaxedStore(T& value, T newValue) {
    std::atomic_ref<T>(value).store(newValue, std::memory_order_relaxed);
}

// A scalar global shared between threads that reads and writes like a plain
// variable. Used for the counts, the cycle counter and the model parameters:
// the dialogs may change a parameter while a cycle runs, and the display reads
// the counts while culling changes them.
template <class T>
class RelaxedAtomic {
  public:
    constexpr RelaxedAtomic(T initial = T{}) noexcept : value_(initial) {}
    RelaxedAtomic(const RelaxedAtomic&) = delete;
    RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

    operator T() const noexcept { return value_.load(std::memory_order_relaxed); }
    RelaxedAtomic& operator=(T newValue) noexcept {
        value_.store(newValue, std::memory_order_relaxed);
        return *this;
    }
    // Read, change and write back: right only while one thread writes the
    // value (the simulation thread, for the counts). The exchange finds out
    // when another write came in between.
    RelaxedAtomic& operator+=(T step) noexcept {
        return update([step](T value) { return T(value + step); });
    }
    RelaxedAtomic& operator-=(T step) noexcept {
        return update([step](T value) { return T(value - step); });
    }
    RelaxedAtomic& operator++() noexcept {
        return update([](T value) { return T(value + 1); });
    }

  private:
    template <class Change>
    RelaxedAtomic& update(Change change) noexcept {
        T seen = value_.load(std::memory_order_relaxed);
        const bool alone =
            value_.compare_exchange_strong(seen, change(seen), std::memory_order_relaxed);
        KESMIR_ASSERT(alone, "a shared value was changed by two threads at once");
        return *this;
    }

    std::atomic<T> value_;
};

}  // namespace kesmir
