// Culling and newborn insertion: build the next generation in the other lists.
#pragma once

namespace kesmir {

// Copies the live records into the other lists, empties the cells of the
// dead and records the survivors' energy extremes.
void cull();

// Appends the newborns behind the survivors.
void addNew();

}  // namespace kesmir
