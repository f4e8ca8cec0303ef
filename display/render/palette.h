// The colours of the world picture: a 768-entry palette for the nutrient
// levels (blue to red, red to yellow, yellow to white) and the organisms'
// own colours. Pixels are 32-bit words 0xFFRRGGBB, the layout of a Qt RGB32
// image, so frames can be drawn straight into the window's image buffer.
#pragma once

#include <array>
#include <cstdint>

namespace kesmir {

struct Rgb {
    int32_t red;
    int32_t green;
    int32_t blue;
};

constexpr uint32_t pixelOf(Rgb c) {
    return 0xFF000000u | (static_cast<uint32_t>(c.red) << 16) |
           (static_cast<uint32_t>(c.green) << 8) | static_cast<uint32_t>(c.blue);
}

constexpr int kPaletteSize = 768;
extern std::array<Rgb, kPaletteSize> palette;

// The same entries as pixels, for drawing.
extern std::array<uint32_t, kPaletteSize> palettePixels;

// Fills both tables; the display calls it once before its first frame.
void initPalette();

// Maps `value` linearly onto a palette index, in single precision: the index
// at the top of the range, the index at the bottom, the value at the top, the
// value at the bottom, the value to map; truncated toward zero.
int colorTransform(int topIndex, int bottomIndex, float topValue, float bottomValue, float value);

// The palette index of a nutrient level; levels past either end of the
// palette take the nearest end entry.
int nutrientIndex(float level);

constexpr Rgb kPlantColour{10, 250, 0};
constexpr Rgb kHerbivoreColour{0, 10, 250};
constexpr Rgb kCarnivoreColour{250, 0, 10};
constexpr Rgb kOverlayText{220, 250, 247};

}  // namespace kesmir
