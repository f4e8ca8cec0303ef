// The text of the population overlay: what each line says and where it goes
// on the 350 x 200 overlay image.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace kesmir {

// The overlay is shown (the D key toggles it).
extern std::atomic<bool> data;

constexpr int kOverlayWidth = 350;
constexpr int kOverlayHeight = 200;
constexpr int kOverlayTextX = 20;

struct OverlayLine {
    int top;  // y of the top of the text line
    std::string text;
};

struct OverlayState {
    int32_t carnivores = 0;
    int32_t herbivores = 0;
    int32_t plants = 0;
    int32_t cycle = 0;
    bool paused = false;
    bool operator==(const OverlayState&) const = default;
};

// Four lines, 32 pixels apart, and "PAUSED" under them while paused. A count
// wider than the seven-digit field widens it.
std::vector<OverlayLine> overlayLines(const OverlayState& state);

// The overlay's state read from the live counters and flags.
OverlayState currentOverlayState();

}  // namespace kesmir
