#include "reports/gui/report_dialog.h"

#include <QButtonGroup>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

#include "reports/gui/report_line.h"

namespace kesmir {

namespace {

using reports::kFirstLine;
using reports::kFirstReportLine;
using reports::kLastLine;

// The layout is given in dialog units, a quarter of the font's average
// character width across and an eighth of its height down, so the dialog
// keeps its proportions with any font.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetricsF metrics(font);
        const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        across_ = metrics.horizontalAdvance(alphabet) / alphabet.size() / 4.0;
        down_ = metrics.height() / 8.0;
    }
    int x(int units) const { return static_cast<int>(std::lround(units * across_)); }
    int y(int units) const { return static_cast<int>(std::lround(units * down_)); }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(x(left), y(top), x(width), y(height));
    }

  private:
    double across_ = 1;
    double down_ = 1;
};

constexpr int kDoneButton = 1;

// The template's layout in dialog units: the lines start at x = 80, the
// "Report" frame at x = 70 and the button 20 from the right edge.
constexpr int kWidth = 300;
constexpr int kHeight = 295;
constexpr int kLinesLeft = 80;
constexpr int kFrameLeft = 70;
constexpr int kRightMargin = 5;
// Lines keep as far from the frame's right edge as from its left one.
constexpr int kFrameInnerMargin = kLinesLeft - kFrameLeft;
constexpr int kButtonWidth = 100;
constexpr int kButtonRight = 20;

// The Direction report's column heads and rows: lines 3004 to 3007, eight
// columns each.
constexpr int kDirectionFirstLine = 3004;
constexpr int kDirectionLastLine = 3007;
constexpr int kDirections = 8;

}  // namespace

ReportDialog::ReportDialog(int32_t cycle, QWidget* owner) : QDialog(owner) {
    // A caption but no close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle("Choose a Report");
    setModal(true);
    buildControls();

    const auto header = reports::headerLines(cycle);
    setLine(3001, header[0]);
    setLine(3002, header[1]);
    // Wide enough for the longest line of any report of this sample, so
    // that no line is cut off whichever report is chosen.
    int widest = widestLine();
    for (const reports::ReportChoice& choice : reports::kReports) {
        showReport(choice.report);
        widest = std::max(widest, widestLine());
    }
    layOut(widest);
    showReport(reports::Report::energy);
    reportButtons_->button(static_cast<int>(reports::Report::energy))->setChecked(true);
}

void ReportDialog::buildControls() {
    const DialogUnits du(font());
    if (parentWidget() != nullptr) move(parentWidget()->mapToGlobal(QPoint(du.x(20), du.y(20))));

    // Made first so that it lies beneath the lines drawn over it.
    frame_ = new QGroupBox("Report", this);

    doneButton_ = new QPushButton("I Am Done with This Sample", this);
    doneButton_->setObjectName(QString("control%1").arg(kDoneButton));
    doneButton_->setDefault(true);
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(0); });

    reportButtons_ = new QButtonGroup(this);
    int row = 0;
    for (const reports::ReportChoice& choice : reports::kReports) {
        const int id = static_cast<int>(choice.report);
        auto* button = new QRadioButton(choice.label, this);
        button->setObjectName(QString("control%1").arg(id));
        button->setGeometry(du.rect(10, 55 + 15 * row++, 60, 15));
        reportButtons_->addButton(button, id);
    }
    connect(reportButtons_, &QButtonGroup::idClicked, this,
            [this](int id) { showReport(static_cast<reports::Report>(id)); });

    for (int id = kFirstLine; id <= kLastLine; ++id) {
        auto* line = new ReportLine(this);
        line->setObjectName(QString("control%1").arg(id));
        lines_[static_cast<std::size_t>(id - kFirstLine)] = line;
    }
    layOut(0);
}

void ReportDialog::layOut(int linesWidth) {
    const DialogUnits du(font());
    const int width = std::max(
        du.x(kWidth), du.x(kLinesLeft) + linesWidth + du.x(kFrameInnerMargin + kRightMargin));
    setFixedSize(width, du.y(kHeight));
    frame_->setGeometry(du.x(kFrameLeft), du.y(50), width - du.x(kFrameLeft + kRightMargin),
                        du.y(210));
    doneButton_->setGeometry(width - du.x(kButtonRight + kButtonWidth), du.y(270),
                             du.x(kButtonWidth), du.y(14));
    for (int id = kFirstLine; id <= kLastLine; ++id) {
        lines_[static_cast<std::size_t>(id - kFirstLine)]->setGeometry(
            du.x(kLinesLeft), du.y(15 + 15 * (id - kFirstLine)),
            width - du.x(kLinesLeft + kFrameInnerMargin + kRightMargin), du.y(15));
    }
}

int ReportDialog::widestLine() const {
    int widest = 0;
    for (const ReportLine* line : lines_)
        widest = std::max(widest, line->neededWidth());
    return widest;
}

void ReportDialog::showReport(reports::Report report) {
    for (int id = kFirstReportLine; id <= kLastLine; ++id)
        setLine(id, std::string());
    const reports::ReportLines text = reports::reportLines(report);
    for (int id = kFirstReportLine; id <= kLastLine; ++id) {
        const bool tableRow = report == reports::Report::direction && id >= kDirectionFirstLine &&
                              id <= kDirectionLastLine;
        lines_[static_cast<std::size_t>(id - kFirstLine)]->setColumns(tableRow ? kDirections : 0);
        setLine(id, text[static_cast<std::size_t>(id - kFirstReportLine)]);
    }
}

QString ReportDialog::lineText(int id) const {
    return lines_[static_cast<std::size_t>(id - kFirstLine)]->text();
}

const ReportLine& ReportDialog::line(int id) const {
    return *lines_[static_cast<std::size_t>(id - kFirstLine)];
}

void ReportDialog::reject() {}

void ReportDialog::setLine(int id, const std::string& text) {
    lines_[static_cast<std::size_t>(id - kFirstLine)]->setText(QString::fromStdString(text));
}

}  // namespace kesmir
