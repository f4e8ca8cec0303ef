#include "world/grid.h"

#include <cstring>

#include "world/lazy_memory.h"

namespace kesmir {

namespace {
constexpr std::size_t kBitmapWords = (kCells + 63) / 64;
}

Grid E{};

void SlotLayer::allocate(const char* what) {
    slots_ = reserveArray<Slot>(kCells, what);
    bits_ = reserveArray<uint64_t>(kBitmapWords, what);
}

void SlotLayer::clearAll() {
    std::memset(slots_, 0, sizeof(Slot) * kCells);
    for (std::size_t word = 0; word < kBitmapWords; ++word)
        relaxedStore(bits_[word], uint64_t{0});
    recordsShare_ = true;
    newbornsShare_ = true;
}

void initEcosystem() {
    for (int32_t cell = 0; cell < kCells; ++cell)
        setNutrient(cell, 250.0f);
    E.plant.clearAll();
    E.herbivore.clearAll();
    E.carnivore.clearAll();
}

}  // namespace kesmir
