#include "graphgl/CBitmapFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr int kFirstChar = 32;
constexpr int kCharCount = 96;
}  // namespace

CBitmapFont::~CBitmapFont() = default;  // lists die with their context; Destroy() frees them early

const char* CBitmapFont::Family() {
    static const char* family =
        QFontDatabase::families().contains("Verdana") ? "Verdana" : "DejaVu Sans";
    return family;
}

bool CBitmapFont::Create(int pixelHeight) {
    Destroy();
    base_ = glGenLists(kCharCount);
    if (base_ == 0) {
        return false;
    }
    pixelHeight_ = pixelHeight;

    QFont font(Family());
    font.setPixelSize(pixelHeight);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    const int ascent = metrics.ascent();
    const int descent = metrics.descent();
    ascent_ = ascent;
    descent_ = descent;
    const int height = ascent + descent;

    // The unpack alignment stays 1 after a font is made, as the drawing has always found it.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < kCharCount; ++i) {
        const QChar ch(kFirstChar + i);
        advances_[i] = metrics.horizontalAdvance(ch);
        const int width = std::max(1, metrics.boundingRect(ch).right() + 1);

        QImage glyph(width, height, QImage::Format_Grayscale8);
        glyph.fill(0);
        {
            QPainter painter(&glyph);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(0, ascent, QString(ch));
        }

        const int rowBytes = (width + 7) / 8;
        GlyphImage& image = glyphs_[i];
        std::vector<unsigned char>& bits = image.bits;
        bits.assign(static_cast<std::size_t>(rowBytes) * height, 0);
        bool blank = true;
        for (int y = 0; y < height; ++y) {
            // glBitmap rows go bottom-up.
            const uchar* line = glyph.constScanLine(height - 1 - y);
            for (int x = 0; x < width; ++x) {
                if (line[x] >= 128) {
                    bits[y * rowBytes + x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
                    blank = false;
                }
            }
        }

        if (blank) {
            bits.clear();
        }
        image.width = blank ? 0 : width;
        image.height = blank ? 0 : height;
    }
    return true;
}

void CBitmapFont::CompileLists() const {
    if (compiled_ || base_ == 0) {
        return;
    }
    compiled_ = true;
    // Bitmaps are unpacked when the list is compiled, so alignment must be set before; the
    // caller's unpacking is left as it was.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < kCharCount; ++i) {
        const GlyphImage& image = glyphs_[i];
        const auto advance = static_cast<GLfloat>(advances_[i]);
        glNewList(base_ + i, GL_COMPILE);
        if (image.bits.empty()) {
            // A 0 x 0 bitmap loses its advance inside a list on some drivers: keep 1 x 1.
            static const GLubyte zero = 0;
            glBitmap(1, 1, 0, 0, advance, 0, &zero);
        } else {
            glBitmap(image.width, image.height, 0, static_cast<GLfloat>(descent_), advance, 0,
                     image.bits.data());
        }
        glEndList();
    }
    glPopClientAttrib();
}

void CBitmapFont::Destroy() {
    if (base_ != 0) {
        glDeleteLists(base_, kCharCount);
        base_ = 0;
    }
    compiled_ = false;
}

void CBitmapFont::Print(const char* text) const {
    if (text == nullptr || base_ == 0) {
        return;
    }
    CompileLists();
    glPushAttrib(GL_LIST_BIT);
    glListBase(base_ - kFirstChar);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

const GlyphImage& CBitmapFont::Glyph(unsigned char c) const {
    static const GlyphImage none;
    if (c < kFirstChar || c >= kFirstChar + kCharCount) {
        return none;
    }
    return glyphs_[c - kFirstChar];
}

int CBitmapFont::Advance(unsigned char c) const {
    if (c < kFirstChar || c >= kFirstChar + kCharCount) {
        return 0;
    }
    return advances_[c - kFirstChar];
}

int CBitmapFont::InkAbove(unsigned char c) const {
    const GlyphImage& glyph = Glyph(c);
    const int rowBytes = (glyph.width + 7) / 8;
    // Rows go bottom-up: the highest one with a bit set ends the ink.
    for (int row = glyph.height - 1; row >= 0; --row) {
        for (int b = 0; b < rowBytes; ++b) {
            if (glyph.bits[row * rowBytes + b] != 0) {
                return std::max(0, row + 1 - descent_);
            }
        }
    }
    return 0;
}
