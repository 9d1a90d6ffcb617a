#pragma once

// One colour as the themes and the settings file hold it: each channel 0-255.
struct ColourRgb {
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const ColourRgb&, const ColourRgb&) = default;
};

// The five colour roles of a theme; the settings dialog's colour boxes map onto them one to one.
enum class ColourSlot { Download, Upload, Text, BackgroundTop, BackgroundBottom };
inline constexpr int kColourSlotCount = 5;
inline constexpr ColourSlot kColourSlots[kColourSlotCount] = {
    ColourSlot::Download, ColourSlot::Upload, ColourSlot::Text, ColourSlot::BackgroundTop,
    ColourSlot::BackgroundBottom};
