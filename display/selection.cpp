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

}  // namespace kesmir
