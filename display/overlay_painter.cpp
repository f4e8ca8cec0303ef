#include "display/overlay_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "display/render/palette.h"

namespace kesmir {

QFont overlayFont(double dotsPerInchY) {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setWeight(QFont::Weight(600));
    // The character height of 14 points in the screen's pixels, rounded.
    font.setPixelSize(std::max(1, int(std::lround(14.0 * dotsPerInchY / 72.0))));
    return font;
}

void displayData(QImage& overlay, const QFont& font, const OverlayState& state) {
    overlay.fill(Qt::black);
    QPainter painter(&overlay);
    painter.setFont(font);
    painter.setPen(QColor(kOverlayText.red, kOverlayText.green, kOverlayText.blue));
    const int lineHeight = painter.fontMetrics().height();
    for (const OverlayLine& line : overlayLines(state)) {
        const QRect box(kOverlayTextX, line.top, kOverlayWidth - kOverlayTextX, lineHeight);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         QString::fromStdString(line.text));
    }
}

}  // namespace kesmir
