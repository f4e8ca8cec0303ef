// One line of the report dialog: a plain text, or a row of a table whose
// blank-separated fields are centred in equal columns, so that a row of
// column heads stands over the rows of numbers beneath it in any font.
#pragma once

#include <QLabel>
#include <QRect>
#include <vector>

namespace kesmir {

class ReportLine : public QLabel {
    Q_OBJECT

  public:
    explicit ReportLine(QWidget* parent = nullptr);

    // 0: plain text, drawn as it is; n: a table row of n columns, each as
    // wide as a signed number of three decimals and a blank.
    void setColumns(int columns);

    // Where each blank-separated field of the text is drawn, in the line's
    // own coordinates.
    std::vector<QRect> fieldBoxes() const;

    // The width the text needs to be shown whole.
    int neededWidth() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int columnWidth() const;

    int columns_ = 0;
};

}  // namespace kesmir
