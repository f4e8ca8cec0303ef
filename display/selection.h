// The two-click selection of a rectangle for a spot sample: the first left
// click sets one corner, the second sets the other and completes the
// selection; a right click in between abandons it.
#pragma once

#include <optional>

#include "world/zoom.h"

namespace kesmir {

struct ClientPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ClientPoint&) const = default;
};

// A completed selection: both corners in client pixels, in click order (not
// ordered by size), and the scroll positions and zoom when the second click
// came, so that the sample can turn them into world columns and rows
// (selectedCells).
struct SpotSelection {
    ClientPoint UL;
    ClientPoint LR;
    int hScrollPos = 0;
    int vScrollPos = 0;
    Zoom zoom = kOnePixelPerCell;
};

class TwoClickSelection {
  public:
    // Returns the selection when this click completes one.
    std::optional<SpotSelection> leftClick(ClientPoint at, int hScrollPos, int vScrollPos);
    void rightClick() { firstClick_ = false; }

    bool firstClick() const { return firstClick_; }  // a first corner is set
    ClientPoint UL() const { return UL_; }
    ClientPoint LR() const { return LR_; }

  private:
    bool firstClick_ = false;
    ClientPoint UL_;
    ClientPoint LR_;
};

}  // namespace kesmir
