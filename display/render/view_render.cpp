#include "display/render/view_render.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "display/render/palette.h"
#include "world/grid.h"
#include "world/shared_access.h"

namespace kesmir {

namespace {

constexpr uint32_t kPlantPixel = pixelOf(kPlantColour);
constexpr uint32_t kHerbivorePixel = pixelOf(kHerbivoreColour);
constexpr uint32_t kCarnivorePixel = pixelOf(kCarnivoreColour);
constexpr int kKinds = 3;  // plants, herbivores, carnivores

uint32_t nutrientPixel(const float* nutrient, int32_t cell) {
    return palettePixels[nutrientIndex(relaxedLoad(nutrient[cell]))];
}

// `count` (<= 64) bits of a live bitmap from bit `first` on, in the low
// bits. Reads no word past the one holding the last bit asked for.
uint64_t liveBitsAt(const uint64_t* words, int64_t first, int count) {
    const int64_t word = first >> 6;
    const int shift = int(first & 63);
    uint64_t bits = relaxedLoad(words[word]) >> shift;
    if (shift + count > 64) bits |= relaxedLoad(words[word + 1]) << (64 - shift);
    return count == 64 ? bits : bits & ((uint64_t{1} << count) - 1);
}

// One row of cells at one pixel per cell: the highest kind's colour, else
// the nutrient colour. Works a bitmap word at a time and chooses without
// branching: which kind stands on a cell is as good as random.
void drawCellRow(const WorldLayers& world, int32_t firstCell, int32_t count, uint32_t* out) {
    const int32_t end = firstCell + count;
    for (int32_t cell = firstCell; cell < end;) {
        const int32_t word = cell >> 6;
        const int32_t stop = std::min(end, (word + 1) * 64);
        const uint64_t carnivores = relaxedLoad(world.carnivores[word]);
        const uint64_t herbivores = relaxedLoad(world.herbivores[word]);
        const uint64_t plants = relaxedLoad(world.plants[word]);
        for (; cell < stop; ++cell) {
            const int bit = cell & 63;
            uint32_t colour = nutrientPixel(world.nutrient, cell);
            colour = (plants >> bit) & 1 ? kPlantPixel : colour;
            colour = (herbivores >> bit) & 1 ? kHerbivorePixel : colour;
            colour = (carnivores >> bit) & 1 ? kCarnivorePixel : colour;
            *out++ = colour;
        }
    }
}

// One pixel per cell, or a square of whole pixels per cell: each cell row's
// colours are worked out once and repeated across and down its square.
void drawZoomedIn(const WorldLayers& world, Zoom zoom, PixelRect area, uint32_t* pixels,
                  int stride) {
    const int32_t side = zoom.pixels / zoom.cells;
    const int32_t firstColumn = cellAt(zoom, area.x);
    const int32_t columns = cellAt(zoom, area.x + area.width - 1) - firstColumn + 1;
    std::vector<uint32_t> cellColours(side == 1 ? 0 : std::size_t(columns));
    int32_t previousRow = -1;
    for (int32_t j = 0; j < area.height; ++j) {
        uint32_t* out = pixels + std::size_t(j) * stride;
        const int32_t row = cellAt(zoom, area.y + j);
        if (row == previousRow) {
            std::memcpy(out, out - stride, sizeof(uint32_t) * std::size_t(area.width));
            continue;
        }
        previousRow = row;
        const int32_t firstCell = cellIndex(firstColumn, row);
        if (side == 1) {
            drawCellRow(world, firstCell, area.width, out);
            continue;
        }
        drawCellRow(world, firstCell, columns, cellColours.data());
        for (int32_t i = 0; i < area.width; ++i)
            out[i] = cellColours[std::size_t(cellAt(zoom, area.x + i) - firstColumn)];
    }
}

// Zoomed out: per output row, each kind's bits over the covered cell rows
// are ORed into one row of words aligned on the first covered column; a
// pixel then tests its own columns' bits in each, carnivores first.
void drawZoomedOut(const WorldLayers& world, Zoom zoom, PixelRect area, uint32_t* pixels,
                   int stride) {
    const int32_t firstColumn = cellAt(zoom, area.x);
    const int32_t endColumn = std::min(kWorldSide, cellAt(zoom, area.x + area.width));
    const int32_t columns = endColumn - firstColumn;
    const int words = (columns + 63) / 64;

    // Where each pixel's columns lie in the ORed rows: the word, the shift
    // and the mask that take out its bits, and the column of its first cell.
    struct Span {
        int32_t word;
        int32_t shift;
        uint64_t mask;
        int32_t offset;
    };
    std::vector<Span> spans(std::size_t(area.width));
    for (int32_t i = 0; i < area.width; ++i) {
        const int32_t offset = cellAt(zoom, area.x + i) - firstColumn;
        const int32_t count =
            std::min(kWorldSide, cellAt(zoom, area.x + i + 1)) - firstColumn - offset;
        const uint64_t mask = count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
        spans[std::size_t(i)] = {offset >> 6, offset & 63, mask, offset};
    }

    const std::array<const uint64_t*, kKinds> layers{world.plants, world.herbivores,
                                                     world.carnivores};
    // One spare word, so that a pixel's bits may always be read from two.
    std::array<std::vector<uint64_t>, kKinds> ored;
    for (auto& row : ored)
        row.assign(std::size_t(words) + 1, 0);

    for (int32_t j = 0; j < area.height; ++j) {
        const int32_t firstRow = cellAt(zoom, area.y + j);
        const int32_t endRow = std::min(kWorldSide, cellAt(zoom, area.y + j + 1));
        for (int k = 0; k < kKinds; ++k) {
            std::fill(ored[k].begin(), ored[k].end(), 0);
            for (int32_t row = firstRow; row < endRow; ++row) {
                const int64_t first = cellIndex(firstColumn, row);
                for (int w = 0; w < words; ++w) {
                    const int count = std::min(64, columns - w * 64);
                    ored[k][std::size_t(w)] |=
                        liveBitsAt(layers[k], first + int64_t{w} * 64, count);
                }
            }
        }
        uint32_t* out = pixels + std::size_t(j) * stride;
        const int32_t nutrientRow = cellIndex(firstColumn, firstRow);
        const uint64_t* plants = ored[0].data();
        const uint64_t* herbivores = ored[1].data();
        const uint64_t* carnivores = ored[2].data();
        // Without branches, as in drawCellRow.
        for (int32_t i = 0; i < area.width; ++i) {
            const Span& s = spans[std::size_t(i)];
            const auto any = [&s](const uint64_t* row) {
                return (((row[s.word] >> s.shift) | ((row[s.word + 1] << 1) << (63 - s.shift))) &
                        s.mask) != 0;
            };
            uint32_t colour = nutrientPixel(world.nutrient, nutrientRow + s.offset);
            colour = any(plants) ? kPlantPixel : colour;
            colour = any(herbivores) ? kHerbivorePixel : colour;
            colour = any(carnivores) ? kCarnivorePixel : colour;
            out[i] = colour;
        }
    }
}

}  // namespace

WorldLayers liveWorldLayers() {
    return {E.nutrient, E.plant.bitWords(), E.herbivore.bitWords(), E.carnivore.bitWords()};
}

void drawView(const WorldLayers& world, Zoom zoom, PixelRect area, uint32_t* pixels, int stride) {
    if (area.width <= 0 || area.height <= 0) return;
    if (zoom.zoomedOut())
        drawZoomedOut(world, zoom, area, pixels, stride);
    else
        drawZoomedIn(world, zoom, area, pixels, stride);
}

void drawFrame(uint32_t* pixels, int stride) {
    drawView(liveWorldLayers(), kOnePixelPerCell, {0, 0, kWorldSide, kWorldSide}, pixels, stride);
}

}  // namespace kesmir
