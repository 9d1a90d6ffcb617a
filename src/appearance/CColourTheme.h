#pragma once

#include <string>

#include "appearance/ColourRgb.h"

// One row of the theme table: five colours and the scanline strength.
class CColourTheme {
public:
    std::string name;
    ColourRgb backgroundTop;
    ColourRgb backgroundBottom;
    ColourRgb text;
    ColourRgb download;
    ColourRgb upload;
    int scanlineStrength = 0;  // 0-255: how far every second pixel row is darkened

    ColourRgb Colour(ColourSlot slot) const;
    void SetColour(ColourSlot slot, ColourRgb colour);

private:
    template <typename Theme>
    static auto& Slot(Theme& theme, ColourSlot slot);
};
