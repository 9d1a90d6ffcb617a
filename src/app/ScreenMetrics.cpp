#include "app/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

ScreenRect ToScreenRect(const QRect& rect) {
    return rect.isEmpty() ? ScreenRect{}
                          : ScreenRect{rect.x(), rect.y(), rect.width(), rect.height()};
}

ScreenMetrics ReadScreen() {
    ScreenMetrics metrics;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect all = screen->geometry();
        const QRect available = screen->availableGeometry();
        metrics.width = all.width();
        metrics.height = all.height();
        metrics.panelHeight = all.bottom() - available.bottom();
        metrics.desktopWidth = screen->virtualSize().width();
        metrics.desktopHeight = screen->virtualSize().height();
        metrics.primary = ToScreenRect(all);
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        metrics.screens.push_back(ToScreenRect(screen->geometry()));
    }
    return metrics;
}

WindowSize SavedSize(int savedWidth, int savedHeight, const ScreenMetrics& screen) {
    return SavedSizeOnDesktop(savedWidth, savedHeight, screen.desktopWidth, screen.desktopHeight);
}
