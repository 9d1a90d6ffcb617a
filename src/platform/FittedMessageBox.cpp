#include "platform/FittedMessageBox.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

// What a window manager puts beside a title in the title bar: an icon and three buttons.
constexpr int kTitleBarExtras = 120;

int Exec(QMessageBox::Icon icon, QWidget* parent, const QString& title, const QString& text,
         QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, parent);
    // The title bar's font is the window manager's; the bold desktop font is a fair stand-in.
    QFont bold = box.font();
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(title) + kTitleBarExtras;
    // A spacer across the box's grid widens it.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec();
}

}  // namespace

void ShowError(QWidget* parent, const QString& title, const QString& text) {
    Exec(QMessageBox::Critical, parent, title, text, QMessageBox::Ok);
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    return Exec(QMessageBox::Question, parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}
