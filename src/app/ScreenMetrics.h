#pragma once

#include <vector>

#include "app/WindowSizing.h"

class QRect;

// What the graph window's size and place rules (WindowSizing) need to know of the screens, as
// the window system tells it now.
struct ScreenMetrics {
    int width = 1280;  // of the primary screen
    int height = 1024;
    int panelHeight = 0;      // below the desktop's available area
    int desktopWidth = 1280;  // all screens together
    int desktopHeight = 1024;
    ScreenRect primary{0, 0, 1280, 1024};
    std::vector<ScreenRect> screens;  // every screen, each where it lies on the desktop
};

// The primary screen's; the defaults above when there is none.
ScreenMetrics ReadScreen();

// The saved graph window size, as the window may take it on these screens.
WindowSize SavedSize(int savedWidth, int savedHeight, const ScreenMetrics& screen);

// A window system's rectangle as the rules take it; an empty one is none.
ScreenRect ToScreenRect(const QRect& rect);
