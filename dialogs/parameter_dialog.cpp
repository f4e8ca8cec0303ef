#include "dialogs/parameter_dialog.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/parameter_rows.h"
#include "dialogs/parameter_steps.h"
#include "sim/run_control.h"
#include "world/counters.h"

namespace kesmir {

namespace {

// Sizes of the dialog and its controls in dialog units.
constexpr int kDialogWidth = 250;
constexpr int kDialogHeight = 100;
constexpr int kDialogOffset = 100;  // from the owner's top-left corner
constexpr int kArrowSide = 9;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 11;
constexpr int kEditHeight = 12;

}  // namespace

void runParameterDialog(ParameterDialogKind kind, QWidget* owner) {
    const PauseRequest paused;  // let go however the dialog ends
    ParameterDialog dialog(parameterDialogEntry(kind), owner);
    dialog.exec();
}

ParameterDialog::ParameterDialog(const ParameterDialogEntry& entry, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), entry_(entry) {
    setWindowTitle(QString::fromLatin1(entry.caption));
    setObjectName(QStringLiteral("parameterDialog%1").arg(entry.templateId));

    auto* grid = new QGridLayout;
    grid->setColumnStretch(4, 1);
    for (int index = 0; index < int(entry_.rows.size()); ++index)
        addRow(index, grid);

    auto* ok = new QPushButton(QStringLiteral("&OK"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"));
    ok->setObjectName(controlName(kOkId));
    cancel->setObjectName(controlName(kCancelId));
    ok->setDefault(true);
    for (QPushButton* b : {ok, cancel})
        b->setFixedSize(dialogUnits(kButtonWidth, kButtonHeight));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* page = new QVBoxLayout(this);
    page->addLayout(grid);
    page->addStretch(1);
    page->addLayout(buttons);

    setFixedSize(sizeHint().expandedTo(dialogUnits(kDialogWidth, kDialogHeight)));
    if (owner) {
        const QSize offset = dialogUnits(kDialogOffset, kDialogOffset);
        move(owner->mapToGlobal(QPoint(offset.width(), offset.height())));
    }
}

void ParameterDialog::addRow(int index, QGridLayout* grid) {
    const ParameterRow& row = entry_.rows[std::size_t(index)];
    auto* label = new QLabel(QString::fromLatin1(row.label));
    auto* edit = new QLineEdit(QString::fromStdString(rowText(entry_, row)));
    edit->setObjectName(controlName(row.editId));
    edit->setFixedSize(dialogUnits(entry_.editWidth, kEditHeight));
    edits_[std::size_t(index)] = edit;
    label->setBuddy(edit);

    auto* lower = new QPushButton(QStringLiteral("<"));
    auto* raise = new QPushButton(QStringLiteral(">"));
    lower->setObjectName(controlName(lowerButtonId(index)));
    raise->setObjectName(controlName(raiseButtonId(index)));
    for (QPushButton* b : {lower, raise})
        b->setFixedSize(dialogUnits(kArrowSide, kArrowSide));

    // Each step starts from the parameter, not from the text being edited.
    connect(lower, &QPushButton::clicked, this, [this, &row, edit] {
        lowerRow(entry_, row);
        edit->setText(QString::fromStdString(rowText(entry_, row)));
    });
    connect(raise, &QPushButton::clicked, this, [this, &row, edit] {
        raiseRow(entry_, row);
        edit->setText(QString::fromStdString(rowText(entry_, row)));
    });

    grid->addWidget(label, index, 0);
    grid->addWidget(edit, index, 1);
    grid->addWidget(lower, index, 2);
    grid->addWidget(raise, index, 3);
}

void ParameterDialog::accept() {
    for (std::size_t index = 0; index < entry_.rows.size(); ++index) {
        const QString text = edits_[index]->text().left(int(kEditTextLimit));
        storeRowText(entry_.rows[index], text.toStdString());
    }
    QDialog::accept();
}

QLineEdit* ParameterDialog::editBox(int editId) const {
    return findChild<QLineEdit*>(controlName(editId));
}

QPushButton* ParameterDialog::button(int id) const {
    return findChild<QPushButton*>(controlName(id));
}

QString ParameterDialog::controlName(int id) {
    return QStringLiteral("control%1").arg(id);
}

// Dialog units follow the dialog's font: a quarter of the average character
// width across, an eighth of the line height down.
QSize ParameterDialog::dialogUnits(int width, int height) const {
    const QFontMetrics metrics(font());
    return QSize(width * metrics.averageCharWidth() / 4, height * metrics.height() / 8);
}

}  // namespace kesmir
