#pragma once

#include <vector>

// One rasterised glyph as glBitmap takes it: rows bottom-up, MSB first, rows padded to bytes.
struct GlyphImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bits;  // empty for a blank glyph (a space)
};

// One bold bitmap font turned into 96 OpenGL display lists, one per character 32-127, so that
// glListBase(base - 32) + glCallLists(text) prints a string at the current raster position.
// Each list is a glBitmap with the glyph's advance; needs a current GL context. The lists are
// compiled when the font first prints: Mesa keeps a texture for every bitmap in a list, and most
// fonts are only ever read through Glyph() (composed text runs).
class CBitmapFont {
public:
    CBitmapFont() = default;
    ~CBitmapFont();
    CBitmapFont(const CBitmapFont&) = delete;
    CBitmapFont& operator=(const CBitmapFont&) = delete;

    // Rasterises the font at the given pixel height and names its lists; false when GL gave no
    // list names.
    bool Create(int pixelHeight);
    // Frees the lists; call while the context that made them is current.
    void Destroy();

    // Prints the text at the current raster position in the raster colour, one list per
    // character; the caller's list base survives. Nothing happens without lists.
    void Print(const char* text) const;
    // Whether the lists have been compiled (by the first Print).
    bool ListsCompiled() const { return compiled_; }

    // Advance in pixels of one character (0 for characters outside 32-127).
    int Advance(unsigned char c) const;
    int PixelHeight() const { return pixelHeight_; }
    // Pixels below the baseline; every glyph image starts that far below it.
    int Descent() const { return descent_; }
    int Ascent() const { return ascent_; }
    // How many pixel rows of the character's ink lie above the baseline.
    int InkAbove(unsigned char c) const;
    // The glyph of one character (an empty image outside 32-127).
    const GlyphImage& Glyph(unsigned char c) const;

    // The family used: Verdana when installed, else DejaVu Sans.
    static const char* Family();

private:
    void CompileLists() const;

    unsigned base_ = 0;
    mutable bool compiled_ = false;
    int pixelHeight_ = 0;
    int ascent_ = 0;
    int descent_ = 0;
    int advances_[96] = {};
    GlyphImage glyphs_[96];
};
