#include "world/grid.h"

namespace kesmir {

Grid E{};

void initEcosystem() {
    for (int32_t cell = 0; cell < kCells; ++cell) {
        setNutrient(cell, 250.0f);
        E.plant[cell] = kEmpty;
        E.herbivore[cell] = kEmpty;
        E.carnivore[cell] = kEmpty;
    }
}

}  // namespace kesmir
