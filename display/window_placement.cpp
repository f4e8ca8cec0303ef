#include "display/window_placement.h"

#include <algorithm>

namespace kesmir {

QRect placedBeside(const QRect& beside, QSize size, const QRect& screen, int gap) {
    size = size.boundedTo(screen.size());
    const int x = std::max(screen.left(),
                           std::min(beside.right() + 1 + gap, screen.right() + 1 - size.width()));
    const int y =
        std::max(screen.top(), std::min(beside.top(), screen.bottom() + 1 - size.height()));
    return QRect(QPoint(x, y), size);
}

}  // namespace kesmir
