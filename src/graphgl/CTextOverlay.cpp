#include "graphgl/CTextOverlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "appearance/CThemeTable.h"
#include "graphgl/GlDraw.h"

bool CTextOverlay::Create(double scale) {
    scale_ = scale;
    auto height = [scale](TextFont font) {
        return static_cast<int>(std::lround(FontPixelHeight(font) * scale));
    };
    return large_.Create(height(TextFont::Large)) && label_.Create(height(TextFont::Label)) &&
           small_.Create(height(TextFont::Small)) && tiny_.Create(height(TextFont::Tiny));
}

bool CTextOverlay::SetScale(double scale) {
    if (scale == scale_) {
        return true;
    }
    Destroy();
    return Create(scale);
}

void CTextOverlay::Destroy() {
    for (RunImage& image : runImages_) {
        if (image.texture != 0) {
            glDeleteTextures(1, &image.texture);
            image.texture = 0;
        }
        // Composed from the fonts that go now.
        image.key[0] = '\0';
        image.textureStale = true;
    }
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
    Font(font).Print(text);
}

void CTextOverlay::PrintFormatted(TextFont font, const char* format, va_list args) {
    if (format == nullptr) {
        return;
    }
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    PrintWith(font, text);
}

void CTextOverlay::Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    PrintFormatted(TextFont::Large, format, args);
    va_end(args);
}

void CTextOverlay::PrintSmall(const char* format, ...) {
    va_list args;
    va_start(args, format);
    PrintFormatted(TextFont::Small, format, args);
    va_end(args);
}

void CTextOverlay::DrawPlan(const TextLayoutPlan& plan, const CThemeTable& themes, TextPath path) {
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
            DrawRect(sq.left, sq.top, sq.right, sq.bottom);
        }
        switch (path) {
            case TextPath::Texture:
                UpdateRunImage(run, runImages_[r]);
                DrawRunTexture(runImages_[r], themes.CurrentColour(ColourSlot::Text));
                if (run.hasSquare) {
                    // The colour glBitmap would have left current.
                    SetColour(themes.CurrentColour(run.square.colour));
                }
                break;
            case TextPath::Bitmap:
                PrintRun(run, runImages_[r]);
                break;
            case TextPath::Glyphs:
                for (int p = 0; p < run.pieceCount; ++p) {
                    PrintWith(run.pieces[p].font, run.pieces[p].text);
                }
                break;
        }
    }
}

void CTextOverlay::UpdateRunImage(const TextRun& run, RunImage& image) const {
    char key[sizeof image.key];
    int used = 0;
    for (int p = 0; p < run.pieceCount && used < static_cast<int>(sizeof key); ++p) {
        used += std::snprintf(key + used, sizeof key - used, "%d|%s|",
                              static_cast<int>(run.pieces[p].font), run.pieces[p].text);
    }
    if (std::strcmp(key, image.key) != 0) {
        std::memcpy(image.key, key, sizeof key);
        ComposeRun(run, image);
        image.textureStale = true;
    }
}

void CTextOverlay::PrintRun(const TextRun& run, RunImage& image) {
    UpdateRunImage(run, image);
    if (image.width > 0) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glBitmap(image.width, image.height, 0.0f, static_cast<GLfloat>(image.descent),
                 static_cast<GLfloat>(image.advance), 0.0f, image.bits.data());
    }
}

void CTextOverlay::ComposeRun(const TextRun& run, RunImage& image) const {
    // Lay the glyphs out on a common baseline, each at the sum of the advances before it, exactly
    // where glyph-by-glyph printing would put them.
    int descent = 0;
    int ascent = 0;
    int width = 0;
    int x = 0;
    for (int p = 0; p < run.pieceCount; ++p) {
        const CBitmapFont& font = Font(run.pieces[p].font);
        descent = std::max(descent, font.Descent());
        ascent = std::max(ascent, font.Ascent());
        for (const char* c = run.pieces[p].text; *c != '\0'; ++c) {
            const auto ch = static_cast<unsigned char>(*c);
            width = std::max(width, x + font.Glyph(ch).width);
            x += font.Advance(ch);
        }
    }
    image.width = width;
    image.height = ascent + descent;
    image.descent = descent;
    image.advance = x;
    const int rowBytes = (width + 7) / 8;
    image.bits.assign(static_cast<std::size_t>(rowBytes) * image.height, 0);

    x = 0;
    for (int p = 0; p < run.pieceCount; ++p) {
        const CBitmapFont& font = Font(run.pieces[p].font);
        const int rowShift = descent - font.Descent();  // this font's bottom row in the image
        for (const char* c = run.pieces[p].text; *c != '\0'; ++c) {
            const auto ch = static_cast<unsigned char>(*c);
            const GlyphImage& glyph = font.Glyph(ch);
            const int glyphRowBytes = (glyph.width + 7) / 8;
            for (int row = 0; row < glyph.height; ++row) {
                for (int col = 0; col < glyph.width; ++col) {
                    if (glyph.bits[row * glyphRowBytes + col / 8] & (0x80 >> (col % 8))) {
                        const int dx = x + col;
                        image.bits[(row + rowShift) * rowBytes + dx / 8] |=
                            static_cast<unsigned char>(0x80 >> (dx % 8));
                    }
                }
            }
            x += font.Advance(ch);
        }
    }
}

void CTextOverlay::DrawRunTexture(RunImage& image, const ColourRgb& colour) {
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (image.width <= 0 || !valid) {
        return;  // glBitmap draws nothing from a position outside the window
    }
    // glBitmap's own placement: the raster position (window pixels, y up) less the origin,
    // truncated after the same small epsilon.
    GLfloat raster[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    const float left = std::floor(raster[0] + 0.0001f);
    const float bottomUp = std::floor(raster[1] + 0.0001f - static_cast<float>(image.descent));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);

    // The state glBitmap leaves alone, kept as it was around the quad.
    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    GLint envMode = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    GLfloat texCoord[4] = {};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    const GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);

    if (image.texture == 0) {
        glGenTextures(1, &image.texture);
        image.textureStale = true;
    }
    glBindTexture(GL_TEXTURE_2D, image.texture);
    if (image.textureStale) {
        // One byte a pixel: 255 where the bitmap has a bit, 0 elsewhere; rows bottom-up as in
        // the bitmap.
        std::vector<GLubyte> alpha(static_cast<std::size_t>(image.width) * image.height, 0);
        const int rowBytes = (image.width + 7) / 8;
        for (int row = 0; row < image.height; ++row) {
            for (int col = 0; col < image.width; ++col) {
                if (image.bits[row * rowBytes + col / 8] & (0x80 >> (col % 8))) {
                    alpha[static_cast<std::size_t>(row) * image.width + col] = 255;
                }
            }
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, image.width, image.height, 0, GL_ALPHA,
                     GL_UNSIGNED_BYTE, alpha.data());
        image.textureStale = false;
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    // What passes is opaque text colour, which blends to itself.
    glDisable(GL_BLEND);
    SetColour(colour);

    // Whole device pixels (y down), so every texel lands on one pixel whatever the screen's
    // scale.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport[2], viewport[3], 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    const float height = static_cast<float>(viewport[3]);
    const float right = left + static_cast<float>(image.width);
    const float bottom = height - bottomUp;
    const float top = bottom - static_cast<float>(image.height);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(left, bottom);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(right, bottom);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(right, top);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(left, top);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    glEnable(GL_BLEND);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glDisable(GL_ALPHA_TEST);
    if (!texturing) {
        glDisable(GL_TEXTURE_2D);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glTexCoord4fv(texCoord);
}
