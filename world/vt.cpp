#include "world/vt.h"

namespace kesmir {

vt dir[9];

void initDir() {
    dir[0] = vector(0, 0);
    dir[1] = vector(1, 0);
    dir[2] = vector(1, 1);
    dir[3] = vector(0, 1);
    dir[4] = vector(-1, 1);
    dir[5] = vector(-1, 0);
    dir[6] = vector(-1, -1);
    dir[7] = vector(0, -1);
    dir[8] = vector(1, -1);
}

}  // namespace kesmir
