#include "display/render/frame.h"

#include "display/render/palette.h"
#include "world/grid.h"
#include "world/lists.h"

namespace kesmir {

namespace {

template <class Record>
void drawRecords(const Record* list, int32_t count, uint32_t colour, uint32_t* pixels, int stride) {
    if (count > kListCapacity) count = kListCapacity;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t x = relaxedLoad(list[k].x);
        const int32_t y = relaxedLoad(list[k].y);
        // A record is always on the grid; the test costs nothing and keeps a
        // torn read from ever writing outside the picture.
        if (static_cast<uint32_t>(x) >= kWorldSide || static_cast<uint32_t>(y) >= kWorldSide)
            continue;
        pixels[static_cast<std::size_t>(y) * stride + x] = colour;
    }
}

}  // namespace

void drawFrame(uint32_t* pixels, int stride) {
    const uint32_t* colours = palettePixels.data();
    const float* levels = E.nutrient;
    for (int32_t y = 0; y < kWorldSide; ++y) {
        uint32_t* row = pixels + static_cast<std::size_t>(y) * stride;
        const float* levelRow = levels + static_cast<std::size_t>(y) * kWorldSide;
        for (int32_t x = 0; x < kWorldSide; ++x)
            row[x] = colours[nutrientIndex(relaxedLoad(levelRow[x]))];
    }
    drawRecords<plant>(PL, Ppop, pixelOf(kPlantColour), pixels, stride);
    drawRecords<animal>(HL, Hpop, pixelOf(kHerbivoreColour), pixels, stride);
    drawRecords<animal>(CL, Cpop, pixelOf(kCarnivoreColour), pixels, stride);
}

}  // namespace kesmir
