#pragma once

#include <GL/gl.h>

#include "appearance/ColourRgb.h"

// Makes a theme colour current, fully opaque.
inline void SetColour(const ColourRgb& c) {
    glColor3ub(static_cast<GLubyte>(c.red), static_cast<GLubyte>(c.green),
               static_cast<GLubyte>(c.blue));
}

// A filled axis-aligned rectangle in the current colour.
inline void DrawRect(float left, float top, float right, float bottom) {
    glBegin(GL_QUADS);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glVertex2f(left, bottom);
    glEnd();
}
