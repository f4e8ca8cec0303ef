// The modal dialogs that change the model's parameters while it runs, opened
// by the keys M, T, R, S and A of the main window.
#pragma once

#include <QDialog>
#include <array>

#include "dialogs/parameter_table.h"

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace kesmir {

// Asks for a pause, runs the dialog modally over `owner` and lets go however
// it closed. The simulation thus waits at its next cycle boundary while the
// user edits, and its next cycle reads every new value.
void runParameterDialog(ParameterDialogKind kind, QWidget* owner);

// One dialog of the family, built from its table entry. The arrow buttons
// write their row's parameter at once; OK stores every edit box's text;
// Cancel and Escape close without reading the edit boxes.
class ParameterDialog : public QDialog {
    Q_OBJECT

  public:
    ParameterDialog(const ParameterDialogEntry& entry, QWidget* owner);

    // Controls by their ids: edit boxes by the row's edit id, buttons by
    // 2000..2005, kOkId and kCancelId. Null for an id the dialog lacks.
    QLineEdit* editBox(int editId) const;
    QPushButton* button(int id) const;
    static QString controlName(int id);

    void accept() override;

  private:
    void addRow(int index, QGridLayout* grid);
    QSize dialogUnits(int width, int height) const;

    const ParameterDialogEntry& entry_;
    std::array<QLineEdit*, 3> edits_{};
};

}  // namespace kesmir
