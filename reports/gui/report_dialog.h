// "Choose a Report": the header of the spot sample, six report buttons and
// thirteen lines showing the chosen report, computed over the sample.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "reports/model/report_text.h"

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace kesmir {

class ReportLine;

class ReportDialog : public QDialog {
    Q_OBJECT

  public:
    // Shows the header for `cycle` and the sample's counts, and the Energy
    // report with its button checked.
    explicit ReportDialog(int32_t cycle, QWidget* owner = nullptr);

    // Clears lines 3004 to 3016, then shows the report's lines.
    void showReport(reports::Report report);

    // The text of line `id`, 3001 to 3016.
    QString lineText(int id) const;

    // Line `id` itself, to see how it is laid out.
    const ReportLine& line(int id) const;

  public slots:
    // Esc does nothing: only "I Am Done with This Sample" (or Enter, which
    // presses it) closes the dialog.
    void reject() override;

  private:
    void buildControls();
    // The template's layout, widened where the lines need `linesWidth`.
    void layOut(int linesWidth);
    int widestLine() const;
    void setLine(int id, const std::string& text);

    QGroupBox* frame_ = nullptr;
    QPushButton* doneButton_ = nullptr;
    QButtonGroup* reportButtons_ = nullptr;
    std::array<ReportLine*, reports::kLastLine - reports::kFirstLine + 1> lines_{};
};

}  // namespace kesmir
