#include "reports/gui/report_line.h"

#include <QFontMetrics>
#include <QPainter>

namespace kesmir {

namespace {

struct Field {
    int start;  // index of its first character in the text
    QString text;
};

std::vector<Field> fieldsOf(const QString& text) {
    std::vector<Field> fields;
    for (int i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const int start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        fields.push_back({start, text.mid(start, i - start)});
    }
    return fields;
}

}  // namespace

ReportLine::ReportLine(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
}

void ReportLine::setColumns(int columns) {
    if (columns == columns_) return;
    columns_ = columns;
    update();
}

int ReportLine::columnWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("-0.000 "));
}

std::vector<QRect> ReportLine::fieldBoxes() const {
    const QFontMetrics metrics = fontMetrics();
    const int top = (height() - metrics.height()) / 2;
    std::vector<QRect> boxes;
    int column = 0;
    for (const Field& field : fieldsOf(text())) {
        const int width = metrics.horizontalAdvance(field.text);
        const int left = columns_ > 0 ? column * columnWidth() + (columnWidth() - width) / 2
                                      : metrics.horizontalAdvance(text().left(field.start));
        boxes.emplace_back(left, top, width, metrics.height());
        ++column;
    }
    return boxes;
}

int ReportLine::neededWidth() const {
    if (columns_ > 0) return columns_ * columnWidth();
    return fontMetrics().horizontalAdvance(text()) + 1;
}

void ReportLine::paintEvent(QPaintEvent* event) {
    if (columns_ == 0) return QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const std::vector<Field> fields = fieldsOf(text());
    const std::vector<QRect> boxes = fieldBoxes();
    for (std::size_t i = 0; i < fields.size(); ++i)
        painter.drawText(boxes[i], Qt::AlignCenter, fields[i].text);
}

}  // namespace kesmir
