// Grid vectors on the torus and the nine step directions.
#pragma once

#include <cstdint>

#include "world/grid.h"

namespace kesmir {

struct vt {
    int32_t x;
    int32_t y;
    friend bool operator==(vt, vt) = default;
};

inline vt vector(int32_t x, int32_t y) {
    return vt{x, y};
}
inline vt sum(vt a, vt b) {
    return vt{a.x + b.x, a.y + b.y};
}
inline vt scale(int32_t k, vt v) {
    return vt{k * v.x, k * v.y};
}

// Wraps each component onto the torus with one correction; every caller
// stays within 25 cells of the grid, so one correction is enough.
inline vt bound(vt v) {
    if (v.x < 0)
        v.x += kWorldSide;
    else if (v.x > kWorldSide - 1)
        v.x -= kWorldSide;
    if (v.y < 0)
        v.y += kWorldSide;
    else if (v.y > kWorldSide - 1)
        v.y -= kWorldSide;
    return v;
}

inline int32_t cellIndex(vt v) {
    return cellIndex(v.x, v.y);
}

// stay, E, NE, N, NW, W, SW, S, SE; north is +y.
extern vt dir[9];
void initDir();

}  // namespace kesmir
