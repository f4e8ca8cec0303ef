// The hints dialog: which key does what. OK (or Enter) closes it; Escape
// does not.
#pragma once

#include <QDialog>
#include <QStringList>

namespace kesmir {

class HintsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit HintsDialog(QWidget* owner = nullptr);

    static QStringList hintLines();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kesmir
