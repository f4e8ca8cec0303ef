#include "display/selection.h"

namespace kesmir {

std::optional<SpotSelection> TwoClickSelection::leftClick(ClientPoint at, int hScrollPos,
                                                          int vScrollPos) {
    if (!firstClick_) {
        firstClick_ = true;
        UL_ = at;
        return std::nullopt;
    }
    LR_ = at;
    firstClick_ = false;
    return SpotSelection{UL_, LR_, hScrollPos, vScrollPos};
}

std::pair<ClientPoint, ClientPoint> cornerCells(const SpotSelection& selection) {
    const auto cell = [&](ClientPoint at) {
        return ClientPoint{cellAt(selection.zoom, at.x + selection.hScrollPos),
                           cellAt(selection.zoom, at.y + selection.vScrollPos)};
    };
    return {cell(selection.UL), cell(selection.LR)};
}

}  // namespace kesmir
