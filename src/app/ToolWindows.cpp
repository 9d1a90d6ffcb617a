#include "app/ToolWindows.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMargins>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

#include "app/ScreenMetrics.h"
#include "app/WindowSizing.h"

namespace {

// The frame a window manager puts around a window it has not shown yet: a title bar and
// borders, guessed on the large side so that the window clears the graph whatever the theme.
const QMargins kFrameGuess(6, 32, 6, 8);

}  // namespace

int ButtonTextRoom(const QPushButton& button) {
    return button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button) +
           button.fontMetrics().averageCharWidth();
}

void FitToolWindow(QWidget& window) {
    // The style's own hint leaves a long word ("Zurücksetzen") touching the button's edges.
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        const bool picture = button->minimumWidth() == button->maximumWidth();
        if (button->text().isEmpty() || picture) {
            continue;
        }
        const int text =
            button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
        button->setMinimumWidth(
            std::max(button->minimumWidth(), text + 2 * ButtonTextRoom(*button)));
    }
    const QLayout* layout = window.layout();
    const bool fixed = layout != nullptr && layout->sizeConstraint() == QLayout::SetFixedSize;
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (!fixed) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    window.setWindowFlags(flags);
}

void PlaceToolWindow(QWidget& window, const QRect& graph, bool opening) {
    // On the graph's screen, where the user looks.
    const QScreen* screen = graph.isEmpty() ? nullptr : QGuiApplication::screenAt(graph.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect desktop = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    if (opening) {
        window.adjustSize();
        frame = QRect(QPoint(), window.size()).marginsAdded(kFrameGuess);
        frame.moveCenter(desktop.center());
    }
    const ToolWindowSpot spot =
        ToolWindowPlace(ToScreenRect(frame), ToScreenRect(graph), ToScreenRect(desktop));
    if (!spot.clear) {
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    window.move(spot.x, spot.y);
}
