#include "app/WindowSizing.h"

#include <algorithm>

WindowSize DefaultWindowSize(int screenWidth) {
    if (screenWidth >= 1600) {
        return {320, 90};
    }
    if (screenWidth >= 1024) {
        return {221, 62};
    }
    if (screenWidth >= 640) {
        return {176, 56};
    }
    return {60, 20};
}

WindowPlace StartPlace(int savedX, int savedY, int screenWidth, int screenHeight, int panelHeight,
                       WindowSize defaultSize, bool& usedSaved) {
    usedSaved = savedX != -1 && savedX < screenWidth;
    if (usedSaved) {
        return {savedX, savedY};
    }
    return {screenWidth - defaultSize.width, screenHeight - defaultSize.height - panelHeight};
}

WindowSize SavedSizeOnDesktop(int savedWidth, int savedHeight, int desktopWidth,
                              int desktopHeight) {
    if (savedWidth <= 0 || savedHeight <= 0) {
        return {-1, -1};
    }
    return {std::min(savedWidth, std::max(desktopWidth, 1)),
            std::min(savedHeight, std::max(desktopHeight, 1))};
}
