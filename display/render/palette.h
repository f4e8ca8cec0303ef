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

// Fills both tables, once; whoever draws first calls it (the display before
// its first frame, a picture taken headless).
void initPalette();

// Maps `value` linearly onto a palette index, in single precision: the index
// at the top of the range, the index at the bottom, the value at the top, the
// value at the bottom, the value to map; truncated toward zero.
int colorTransform(int topIndex, int bottomIndex, float topValue, float bottomValue, float value);

// The palette index of a nutrient level: colorTransform(768, 485, 6000, 500,
// level), with levels past either end of the palette (and NaN) taking the
// nearest end entry (entry 0 for NaN). Inline for the frame's hot loop: the
// same single-precision steps as colorTransform, clamped while still a float,
// which gives the same index for every level and cannot overflow.
inline int nutrientIndex(float level) {
    constexpr float kSlope = static_cast<float>(768 - 485) / (6000.0f - 500.0f);
    float index = 485.0f + kSlope * (level - 500.0f);
    index = index > 0.0f ? index : 0.0f;  // NaN fails the test too
    index = index < float(kPaletteSize - 1) ? index : float(kPaletteSize - 1);
    return static_cast<int>(index);
}

constexpr Rgb kPlantColour{10, 250, 0};
constexpr Rgb kHerbivoreColour{0, 10, 250};
constexpr Rgb kCarnivoreColour{250, 0, 10};
constexpr Rgb kOverlayText{220, 250, 247};

}  // namespace kesmir
