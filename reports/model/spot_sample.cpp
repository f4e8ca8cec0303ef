#include "reports/model/spot_sample.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "reports/model/spot_file.h"
#include "sim/cycle_gate.h"
#include "world/counters.h"
#include "world/grid.h"
#include "world/lists.h"

namespace kesmir {

vt UL{0, 0};
vt LR{0, 0};
int32_t Psamp = 0;
int32_t Hsamp = 0;
int32_t Csamp = 0;

void orderCorners() {
    if (LR.x - UL.x < 0) std::swap(UL.x, LR.x);
    if (LR.y - UL.y < 0) std::swap(UL.y, LR.y);
}

namespace {

// The column (or row) of the cell under a client pixel, cut to 0..kWorldSide.
// The content pixel is worked out in 64 bits, so that no client coordinate
// can overflow.
int32_t cellUnder(int32_t client, int scrollPos, Zoom zoom) {
    const int64_t pixel = std::clamp<int64_t>(int64_t{client} + scrollPos, INT32_MIN, INT32_MAX);
    return std::clamp(cellAt(zoom, static_cast<int32_t>(pixel)), 0, kWorldSide);
}

// The world cells [first, end) of one axis under client pixels [from, to),
// cut to the grid, as its first cell and its length.
std::pair<int32_t, int32_t> clippedSpan(int32_t from, int32_t to, int scrollPos, Zoom zoom) {
    const int32_t first = cellUnder(from, scrollPos, zoom);
    const int32_t end = std::max(first, cellUnder(to, scrollPos, zoom));
    return {first, end - first};
}

template <class Record>
inline void copyStanding(Slot slot, const Record* list, Record* sample, int32_t& count, bool& cut) {
    if (slot == kEmpty) return;
    if (count == kSampleCapacity) {
        cut = true;
        return;
    }
    sample[count++] = list[indexOf(slot)];
}

void tellCut(bool cut, const char* kind) {
    if (!cut) return;
    std::fprintf(stderr, "kesmir: the spot sample holds only the first %d %s of the selection\n",
                 kSampleCapacity, kind);
}

}  // namespace

CellRect selectedCells(int hScrollPos, int vScrollPos, Zoom zoom) {
    const auto [x0, width] = clippedSpan(UL.x, LR.x, hScrollPos, zoom);
    const auto [y0, height] = clippedSpan(UL.y, LR.y, vScrollPos, zoom);
    return CellRect{x0, y0, width, height};
}

SampleCut copySample(const CellRect& cells) {
    SampleCut cut;
    Psamp = 0;
    Hsamp = 0;
    Csamp = 0;
    // Between cycles every slot names a record of the current list; holding
    // the simulation there keeps the slots and the records still while they
    // are read.
    CycleHold hold;
    const plant* plants = PL;
    const animal* herbivores = HL;
    const animal* carnivores = CL;
    for (int32_t r = 0; r < cells.height; ++r) {
        const int32_t rowStart = cellIndex(cells.x0, cells.y0 + r);
        for (int32_t cell = rowStart; cell < rowStart + cells.width; ++cell) {
            copyStanding(E.plant[cell], plants, SP, Psamp, cut.plants);
            copyStanding(E.herbivore[cell], herbivores, SH, Hsamp, cut.herbivores);
            copyStanding(E.carnivore[cell], carnivores, SC, Csamp, cut.carnivores);
        }
    }
    return cut;
}

void takeSpotSample(int hScrollPos, int vScrollPos, Zoom zoom) {
    orderCorners();
    const SampleCut cut = copySample(selectedCells(hScrollPos, vScrollPos, zoom));
    tellCut(cut.plants, "plants");
    tellCut(cut.herbivores, "herbivores");
    tellCut(cut.carnivores, "carnivores");
    if (store.load()) writeSpotFile();
}

}  // namespace kesmir
