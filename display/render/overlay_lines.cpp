#include "display/render/overlay_lines.h"

#include <atomic>

#include "sim/run_control.h"
#include "world/counters.h"
#include "world/format.h"
#include "world/lists.h"

namespace kesmir {

std::atomic<bool> data{true};

std::vector<OverlayLine> overlayLines(const OverlayState& state) {
    std::vector<OverlayLine> lines{
        {22, formatted("Carnivores: %7d", state.carnivores)},
        {54, formatted("Herbivores: %7d", state.herbivores)},
        {86, formatted("Plants:     %7d", state.plants)},
        {118, formatted("Cycle:      %7d", state.cycle)},
    };
    if (state.paused) lines.push_back({150, "PAUSED"});
    return lines;
}

OverlayState currentOverlayState() {
    return {Cpop, Hpop, Ppop, kk, simulationPaused()};
}

}  // namespace kesmir
