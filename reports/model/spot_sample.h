// The spot sample: the organisms standing on a rectangle of the world,
// copied whole into SP, SH and SC, so that the reports study a copy that
// stays still while the simulation goes on.
#pragma once

#include <cstdint>

#include "world/vt.h"
#include "world/zoom.h"

namespace kesmir {

// Corners of the selection in client pixels of the main window: UL from the
// first left click, LR from the second. orderCorners() makes UL the upper
// left and LR the lower right corner.
extern vt UL;
extern vt LR;

// Number of records in SP, SH, SC.
extern int32_t Psamp;
extern int32_t Hsamp;
extern int32_t Csamp;

// World columns x0..x0 + width - 1 and rows y0..y0 + height - 1.
struct CellRect {
    int32_t x0 = 0;
    int32_t y0 = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Exchanges the x and then the y coordinates of UL and LR where LR lies to
// the left of or above UL.
void orderCorners();

// The cells shown under the client pixels UL.x <= x < LR.x, UL.y <= y < LR.y
// with the view scrolled to the given positions at `zoom`: from the cell
// under UL up to, but not including, the column and row of the cell under
// LR (zoomed out, a pixel stands for the first cell it covers), clipped to
// the world, as a view scrolled to its end, or wider than the world, shows
// pixels past the last column and row. Expects ordered corners. The one
// conversion from the window's pixels to cells.
CellRect selectedCells(int hScrollPos, int vScrollPos, Zoom zoom = kOnePixelPerCell);

// The kinds that filled their sample buffer before the rectangle was done.
struct SampleCut {
    bool plants = false;
    bool herbivores = false;
    bool carnivores = false;
};

// Replaces the sample with the records standing on `cells`, row by row from
// the top and left to right within a row; each kind stops at kSampleCapacity
// records. The simulation is held at its cycle boundary while the records
// are copied, so each is whole and all are of the same moment.
SampleCut copySample(const CellRect& cells);

// The model's part of a spot sample: orders the corners, copies the cells
// under them (telling stderr of a kind cut short) and, while `store` is set,
// writes "spot.dat".
void takeSpotSample(int hScrollPos, int vScrollPos, Zoom zoom = kOnePixelPerCell);

}  // namespace kesmir
