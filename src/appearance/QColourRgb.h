#pragma once

#include <QColor>

#include "appearance/ColourRgb.h"

// The themes' colours as Qt paints them, and back.
inline QColor ToQColor(ColourRgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

inline ColourRgb ToColourRgb(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}
