#include "display/hints_dialog.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kesmir {

QStringList HintsDialog::hintLines() {
    return {
        QStringLiteral("Press 'h' for this screen"),
        QStringLiteral("Press 'd' to toggle the population display"),
        QStringLiteral("Press 'l' to save spot samples to disk"),
        QStringLiteral("Press 'n' to log the nutrient layer"),
        QStringLiteral("Press 'a' to adjust age of maturity"),
        QStringLiteral("Press 'm' to adjust metabolic rates"),
        QStringLiteral("Press 'r' to adjust reproduction energy requirements"),
        QStringLiteral("Press 's' to control the senescent age"),
        QStringLiteral("Press 't' to adjust satiety levels"),
        QStringLiteral("Press 'q' to quit the application"),
        QStringLiteral("Press 'f' to fit the whole world into the window"),
        QStringLiteral("Press '1' to show one pixel per cell"),
        QStringLiteral("Press '+' or '-' to zoom in or out (Ctrl + wheel: about the pointer)"),
        QStringLiteral("Press 'g' to show or hide the population chart"),
        QStringLiteral("Press 'e' to show or hide the evolution of the traits"),
        QStringLiteral("Press 'p' to save pictures of the world and the open charts"),
        QStringLiteral("Press 'k' to save a checkpoint at the end of the cycle"),
        QStringLiteral("Version " KESMIR_VERSION),
    };
}

HintsDialog::HintsDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("A Few Useful Hints"));
    auto* layout = new QVBoxLayout(this);
    for (const QString& line : hintLines())
        layout->addWidget(new QLabel(line, this));
    layout->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);  // Enter presses OK
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    layout->addWidget(buttons);
    if (owner != nullptr) move(owner->pos() + QPoint(20, 20));
}

void HintsDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return event->accept();
    QDialog::keyPressEvent(event);
}

}  // namespace kesmir
