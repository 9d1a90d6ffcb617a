#pragma once

#include <array>
#include <string_view>

#include "appearance/ColourRgb.h"

// The colours every colour box offers by name, before "Custom...".
struct NamedColour {
    ColourRgb colour;
    std::string_view name;
};

inline constexpr std::array<NamedColour, 10> NamedColours = {{
    {{0, 0, 0}, "Black"},
    {{255, 255, 255}, "White"},
    {{127, 127, 127}, "Grey"},
    {{255, 0, 0}, "Red"},
    {{0, 0, 255}, "Blue"},
    {{0, 255, 0}, "Green"},
    {{255, 127, 0}, "Orange"},
    {{255, 255, 0}, "Yellow"},
    {{0, 255, 255}, "Cyan"},
    {{255, 0, 255}, "Fuchsia"},
}};
