#include "appearance/CColourTheme.h"

template <typename Theme>
auto& CColourTheme::Slot(Theme& theme, ColourSlot slot) {
    switch (slot) {
        case ColourSlot::Download:
            return theme.download;
        case ColourSlot::Upload:
            return theme.upload;
        case ColourSlot::Text:
            return theme.text;
        case ColourSlot::BackgroundTop:
            return theme.backgroundTop;
        case ColourSlot::BackgroundBottom:
            break;
    }
    return theme.backgroundBottom;
}

ColourRgb CColourTheme::Colour(ColourSlot slot) const {
    return Slot(*this, slot);
}

void CColourTheme::SetColour(ColourSlot slot, ColourRgb colour) {
    Slot(*this, slot) = colour;
}
