#pragma once

#include <GL/gl.h>

#include "appearance/ColourRgb.h"

// Makes a theme colour current, fully opaque.
inline void SetColour(const ColourRgb& c) {
    glColor3ub(static_cast<GLubyte>(c.red), static_cast<GLubyte>(c.green),
               static_cast<GLubyte>(c.blue));
}
