#include "display/render/palette.h"

#include <cmath>
#include <mutex>

namespace kesmir {

std::array<Rgb, kPaletteSize> palette{};
std::array<uint32_t, kPaletteSize> palettePixels{};

namespace {

void buildPalette() {
    int k = 0;
    for (int i = 0; i < 256; ++i)
        palette[k++] = Rgb{i, 0, 255 - i};
    for (int i = 0; i < 256; ++i)
        palette[k++] = Rgb{255, i, 0};
    for (int i = 0; i < 256; ++i)
        palette[k++] = Rgb{255, 255, i};
    for (int i = 0; i < kPaletteSize; ++i)
        palettePixels[i] = pixelOf(palette[i]);
}

// The float before truncation, kept apart so that out-of-range values can be
// clamped before the conversion to int (which would overflow).
float mapped(int topIndex, int bottomIndex, float topValue, float bottomValue, float value) {
    const float slope = static_cast<float>(topIndex - bottomIndex) / (topValue - bottomValue);
    const float offset = slope * (value - bottomValue);
    return static_cast<float>(bottomIndex) + offset;
}

}  // namespace

void initPalette() {
    static std::once_flag built;
    std::call_once(built, buildPalette);
}

int colorTransform(int topIndex, int bottomIndex, float topValue, float bottomValue, float value) {
    const float result = mapped(topIndex, bottomIndex, topValue, bottomValue, value);
    if (!(std::fabs(result) < 2147483520.0f)) return result > 0 ? 2147483647 : -2147483647 - 1;
    return static_cast<int>(result);
}

}  // namespace kesmir
