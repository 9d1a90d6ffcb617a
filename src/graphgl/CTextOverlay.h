#pragma once

#include <cstdarg>
#include <vector>

#include "graph/TextLayoutPlan.h"
#include "graphgl/CBitmapFont.h"

class CThemeTable;

// The speed texts of the graph window (and the chart's labels): four bold bitmap fonts of 14,
// 12, 10 and 8 pixels, printing at the current raster position. On a scaled screen the glyphs
// are rasterised at the scale (28 device pixels for 14 at scale 2), as glBitmap draws in device
// pixels.
class CTextOverlay {
public:
    // Builds the fonts for a screen of `scale` device pixels per pixel; needs a current GL
    // context.
    bool Create(double scale = 1.0);
    void Destroy();
    // Builds the fonts anew when the scale differs from theirs.
    bool SetScale(double scale);
    double Scale() const { return scale_; }

    // printf-style into a 256-character buffer, drawn with the current (large) font.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The same with the 10-pixel font.
    void PrintSmall(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void PrintWith(TextFont font, const char* text);

    const CBitmapFont& Font(TextFont font) const;

    // How a plan's runs reach the window; all three give the same pixels.
    enum class TextPath {
        Glyphs,   // glyph by glyph from the fonts' display lists
        Bitmap,   // each run as one composed glBitmap
        Texture,  // each run's composed bitmap kept in a texture, drawn as one alpha-tested quad
    };
    void DrawPlan(const TextLayoutPlan& plan, const CThemeTable& themes,
                  TextPath path = TextPath::Texture);

    // One run's pieces composed into a single bitmap: the same pixels as printing the pieces
    // glyph by glyph, for one glBitmap instead of dozens. Rebuilt only when the text changes.
    struct RunImage {
        char key[128] = {};
        int width = 0;
        int height = 0;
        int descent = 0;
        int advance = 0;
        std::vector<unsigned char> bits;
        unsigned texture = 0;  // the bits as alpha, made when the text changes
        bool textureStale = true;
    };
    void ComposeRun(const TextRun& run, RunImage& image) const;

private:
    void PrintFormatted(TextFont font, const char* format, va_list args);
    // Makes `image` the composed picture of `run`, unless it is that already.
    void UpdateRunImage(const TextRun& run, RunImage& image) const;
    void PrintRun(const TextRun& run, RunImage& image);
    // The run's bitmap where glBitmap would put it, in the text colour, from its texture.
    void DrawRunTexture(RunImage& image, const ColourRgb& colour);

    CBitmapFont large_;  // 14 px
    CBitmapFont label_;  // 12 px
    CBitmapFont small_;  // 10 px
    CBitmapFont tiny_;   // 8 px
    RunImage runImages_[2];
    double scale_ = 1.0;
};
