#include "reports/gui/report_dialog.h"

#include <QButtonGroup>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

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

int lineWidth(int id) {
    if (id == 3001) return 150;
    if (id == 3010 || id == 3011) return 210;
    return 200;
}

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
    showReport(reports::Report::energy);
    reportButtons_->button(static_cast<int>(reports::Report::energy))->setChecked(true);
}

void ReportDialog::buildControls() {
    const DialogUnits du(font());
    setFixedSize(du.x(300), du.y(295));
    if (parentWidget() != nullptr) move(parentWidget()->mapToGlobal(QPoint(du.x(20), du.y(20))));

    // Made first so that it lies beneath the lines drawn over it.
    auto* frame = new QGroupBox("Report", this);
    frame->setGeometry(du.rect(70, 50, 225, 210));

    auto* doneButton = new QPushButton("I Am Done with This Sample", this);
    doneButton->setObjectName(QString("control%1").arg(kDoneButton));
    doneButton->setGeometry(du.rect(180, 270, 100, 14));
    doneButton->setDefault(true);
    connect(doneButton, &QPushButton::clicked, this, [this] { done(0); });

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
        auto* line = new QLabel(this);
        line->setObjectName(QString("control%1").arg(id));
        line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        line->setTextFormat(Qt::PlainText);
        line->setGeometry(du.rect(80, 15 + 15 * (id - kFirstLine), lineWidth(id), 15));
        lines_[static_cast<std::size_t>(id - kFirstLine)] = line;
    }
}

void ReportDialog::showReport(reports::Report report) {
    for (int id = kFirstReportLine; id <= kLastLine; ++id)
        setLine(id, std::string());
    const reports::ReportLines text = reports::reportLines(report);
    for (int id = kFirstReportLine; id <= kLastLine; ++id)
        setLine(id, text[static_cast<std::size_t>(id - kFirstReportLine)]);
}

QString ReportDialog::lineText(int id) const {
    return lines_[static_cast<std::size_t>(id - kFirstLine)]->text();
}

void ReportDialog::reject() {}

void ReportDialog::setLine(int id, const std::string& text) {
    lines_[static_cast<std::size_t>(id - kFirstLine)]->setText(QString::fromStdString(text));
}

}  // namespace kesmir
