#pragma once

#include <array>

#include "appearance/ColourRgb.h"
#include "core/Translatable.h"

// The colours every colour box offers by name, before "Custom...", in English; the boxes show
// them translated.
struct NamedColour {
    ColourRgb colour;
    const char* name;
};

inline constexpr std::array<NamedColour, 10> NamedColours = {{
    {{0, 0, 0}, TRANSLATABLE("Colours", "Black")},
    {{255, 255, 255}, TRANSLATABLE("Colours", "White")},
    {{127, 127, 127}, TRANSLATABLE("Colours", "Grey")},
    {{255, 0, 0}, TRANSLATABLE("Colours", "Red")},
    {{0, 0, 255}, TRANSLATABLE("Colours", "Blue")},
    {{0, 255, 0}, TRANSLATABLE("Colours", "Green")},
    {{255, 127, 0}, TRANSLATABLE("Colours", "Orange")},
    {{255, 255, 0}, TRANSLATABLE("Colours", "Yellow")},
    {{0, 255, 255}, TRANSLATABLE("Colours", "Cyan")},
    {{255, 0, 255}, TRANSLATABLE("Colours", "Fuchsia")},
}};
