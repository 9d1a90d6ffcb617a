#include "app/WindowSizing.h"

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
