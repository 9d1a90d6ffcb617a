#pragma once

// Window size and place rules of the graph window and the tool windows, free of any window
// system.

#include <vector>

struct WindowSize {
    int width;
    int height;
};

struct WindowPlace {
    int x;
    int y;
};

// A rectangle on the screen, in pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The default graph window size for a screen width.
WindowSize DefaultWindowSize(int screenWidth);

// A saved window size as the window may take it: no side larger than the desktop (a damaged or
// hand-edited settings file could otherwise ask the X server and the GL driver for a window of
// gigabytes). A side that is not positive means no size is saved: {-1, -1}, as in a new
// settings file, rather than a window too thin to see or grab.
WindowSize SavedSizeOnDesktop(int savedWidth, int savedHeight, int desktopWidth, int desktopHeight);

// Where the window of `size` goes at start: the saved position when one is saved (x not -1) and
// the window there shows a part of at least 40 x 20 pixels (the whole of a smaller window) inside
// one of the `screens`, so a graph left on a second monitor opens there again; else the
// bottom-right corner of the `primary` screen just above its panel, rounded inwards on a screen
// of `pixelRatio` device pixels per pixel. `usedSaved` tells which.
WindowPlace StartPlace(int savedX, int savedY, WindowSize size,
                       const std::vector<ScreenRect>& screens, ScreenRect primary, int panelHeight,
                       bool& usedSaved, double pixelRatio = 1.0);

struct ToolWindowSpot {
    int x;
    int y;
    // False when no place on the desktop is clear of the graph: this one is the least covered.
    bool clear;
};

// Where a tool window goes whose frame would be `wanted`: there, kept on the desktop `area`,
// unless the always-on-top graph window (`graph`, empty when it is not shown) covers part of it.
// Then the nearest place beside the graph that lies on the desktop: right or left of it at the
// same height, or below or above it in the same column. When none does, the place among those
// kept on the desktop that the graph covers least.
ToolWindowSpot ToolWindowPlace(ScreenRect wanted, ScreenRect graph, ScreenRect area);
