// Drawing the whole world, one pixel per cell, into a plain pixel buffer.
#pragma once

#include <cstdint>

namespace kesmir {

// Rewrites every pixel of a 3500 x 3500 buffer of 0xFFRRGGBB words (`stride`
// words from one row to the next): each cell's nutrient colour, then every
// plant, herbivore and carnivore of the current lists in that order, so on a
// shared cell a carnivore shows over a herbivore over a plant. Dead records
// still counted are drawn. Safe to run while the simulation changes the
// world: it reads only whole values and never indexes past a list.
void drawFrame(uint32_t* pixels, int stride);

}  // namespace kesmir
