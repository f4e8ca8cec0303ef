// Drawing the world, or the part of it a window shows, at any zoom, straight
// from the grid: the nutrient levels and the three kinds' occupancy bitmaps.
// It reads only the cells in view, a few bits per cell besides their levels,
// which makes it cheap enough to run for every frame. The window's view and
// the saved picture of the world are both drawn here, so they agree cell for
// cell, also where a cell's slot and the lists disagree (two records of a
// kind on a cell, the later one culled: the bitmap holds none).
#pragma once

#include <cstdint>

#include "world/zoom.h"

namespace kesmir {

// A rectangle of content pixels.
struct PixelRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const PixelRect&) const = default;
};

// The layers a picture is made of, each in the grid's cell order.
struct WorldLayers {
    const float* nutrient;
    const uint64_t* plants;  // occupancy bitmaps, bit (cell & 63) of word cell >> 6
    const uint64_t* herbivores;
    const uint64_t* carnivores;
};

// The live grid's layers.
WorldLayers liveWorldLayers();

// Draws the content pixels `area` of the world at `zoom` into `pixels`
// (0xFFRRGGBB words, `stride` words from one row to the next): content pixel
// (area.x + i, area.y + j) goes to pixels[j * stride + i]. The area must lie
// within 0..contentExtent(zoom) - 1 on both axes. A pixel shows the highest
// kind among the cells it covers in that kind's colour, or, with none of
// them taken, the nutrient colour of the cell a click on it selects. Reads
// whole values only, so it may run while the simulation changes the world
// (the palette must be built).
void drawView(const WorldLayers& world, Zoom zoom, PixelRect area, uint32_t* pixels, int stride);

// The whole live world at one pixel per cell into a 3500 x 3500 buffer, as
// drawView draws it.
void drawFrame(uint32_t* pixels, int stride);

}  // namespace kesmir
