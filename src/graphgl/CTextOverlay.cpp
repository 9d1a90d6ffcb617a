#include "graphgl/CTextOverlay.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "appearance/CThemeTable.h"
#include "graphgl/GlColour.h"

bool CTextOverlay::Create() {
    return large_.Create(FontPixelHeight(TextFont::Large)) &&
           label_.Create(FontPixelHeight(TextFont::Label)) &&
           small_.Create(FontPixelHeight(TextFont::Small)) &&
           tiny_.Create(FontPixelHeight(TextFont::Tiny));
}

void CTextOverlay::Destroy() {
    large_.Destroy();
    label_.Destroy();
    small_.Destroy();
    tiny_.Destroy();
}

const CBitmapFont& CTextOverlay::Font(TextFont font) const {
    switch (font) {
        case TextFont::Label:
            return label_;
        case TextFont::Small:
            return small_;
        case TextFont::Tiny:
            return tiny_;
        case TextFont::Large:
            break;
    }
    return large_;
}

void CTextOverlay::PrintWith(TextFont font, const char* text) {
    const CBitmapFont& bitmapFont = Font(font);
    if (text == nullptr || bitmapFont.Base() == 0) {
        return;
    }
    glPushAttrib(GL_LIST_BIT);
    glListBase(bitmapFont.Base() - 32);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void CTextOverlay::Print(const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    PrintWith(TextFont::Large, text);
}

void CTextOverlay::PrintSmall(const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    PrintWith(TextFont::Small, text);
}

void CTextOverlay::DrawLayout(TextLayout layout, int width, int height, double download,
                              double upload, const CThemeTable& themes) {
    PlanTextLayout(layout, width, height, download, upload, plan_);
    DrawPlan(plan_, themes);
}

void CTextOverlay::DrawPlan(const TextLayoutPlan& plan, const CThemeTable& themes) {
    for (int r = 0; r < plan.runCount; ++r) {
        const TextRun& run = plan.runs[r];
        glLoadIdentity();
        glTranslatef(run.originX, run.originY, 0.0f);
        // The raster position takes the colour that is current when it is set.
        SetColour(themes.CurrentColour(ColourSlot::Text));
        glRasterPos2f(run.rasterX, run.rasterY);
        if (run.hasSquare) {
            const TextSquare& sq = run.square;
            SetColour(themes.CurrentColour(sq.colour));
            glBegin(GL_QUADS);
            glVertex2f(sq.left, sq.top);
            glVertex2f(sq.right, sq.top);
            glVertex2f(sq.right, sq.bottom);
            glVertex2f(sq.left, sq.bottom);
            glEnd();
        }
        for (int p = 0; p < run.pieceCount; ++p) {
            PrintWith(run.pieces[p].font, run.pieces[p].text);
        }
    }
}
