#pragma once

// Window size and place rules of the graph window, free of any window system.

struct WindowSize {
    int width;
    int height;
};

struct WindowPlace {
    int x;
    int y;
};

// The default graph window size for a screen width.
WindowSize DefaultWindowSize(int screenWidth);

// Where the window goes at start: the saved position when one is saved (x not -1) and it lies on
// the screen horizontally, else the bottom-right corner just above the panel.
// `usedSaved` tells which; with the saved position the window also takes the saved size.
WindowPlace StartPlace(int savedX, int savedY, int screenWidth, int screenHeight, int panelHeight,
                       WindowSize defaultSize, bool& usedSaved);

// A saved window size as the window may take it: no side larger than the desktop (a damaged or
// hand-edited settings file could otherwise ask the X server and the GL driver for a window of
// gigabytes). A side that is not positive means no size is saved: {-1, -1}, as in a new
// settings file, rather than a window too thin to see or grab.
WindowSize SavedSizeOnDesktop(int savedWidth, int savedHeight, int desktopWidth, int desktopHeight);
