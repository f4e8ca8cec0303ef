#include "sim/look_up_cells.h"

namespace kesmir {

void lookUpCellsPlain(const LookUpOrigin& origin, int count, int32_t* cells) {
    LocalRandom random(origin.state);
    for (int look = 0; look < count; ++look)
        cells[look] = lookUpCell(origin, random);
}

}  // namespace kesmir
