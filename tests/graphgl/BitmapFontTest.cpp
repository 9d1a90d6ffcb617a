#include <QTest>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <bit>
#include <memory>
#include <vector>

#include "graphgl/CBitmapFont.h"
#include "graphgl/CGraphWindow.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 32;

// A font in a real GL window; each print goes to a cleared back buffer and is read back.
class BitmapFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<CGraphWindow>();
        window_->resize(kWidth, kHeight);
        QString error;
        ASSERT_TRUE(window_->CreateGL(error)) << error.toStdString();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        ASSERT_TRUE(window_->MakeCurrent());
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, 0, kHeight, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    void TearDown() override {
        if (window_ && window_->MakeCurrent()) {
            font_.Destroy();
        }
    }

    // How many pixels printing `text` at (4, 10) lights.
    int LitPixels(const char* text) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);  // the window tests depth
        glColor3ub(255, 255, 255);
        glRasterPos2i(4, 10);
        font_.Print(text);
        std::vector<unsigned char> pixels(kWidth * kHeight * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        int lit = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 4) {
            lit += pixels[i] == 255 ? 1 : 0;
        }
        return lit;
    }

    int GlyphBits(unsigned char c) const {
        int bits = 0;
        for (unsigned char byte : font_.Glyph(c).bits) {
            bits += std::popcount(byte);
        }
        return bits;
    }

    std::unique_ptr<CGraphWindow> window_;
    CBitmapFont font_;
};

TEST_F(BitmapFontTest, ListsAreCompiledOnlyWhenTheFontFirstPrints) {
    ASSERT_TRUE(font_.Create(12));
    EXPECT_FALSE(font_.ListsCompiled());
    EXPECT_GT(font_.Glyph('W').width, 0);  // composed runs need the glyphs without the lists
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);  // as the drawing has always found it after a font was made

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glListBase(7);
    EXPECT_EQ(LitPixels("W"), GlyphBits('W'));
    EXPECT_TRUE(font_.ListsCompiled());
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);  // the caller's unpacking and list base survive the compiling
    GLint listBase = 0;
    glGetIntegerv(GL_LIST_BASE, &listBase);
    EXPECT_EQ(listBase, 7);
}

TEST_F(BitmapFontTest, EachPrintedGlyphLightsExactlyItsBits) {
    struct Case {
        int pixelHeight;
        const char* text;
    };
    const Case cases[] = {{14, "8"}, {12, "K"}, {10, "g"}, {8, "%"}, {10, "/"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixelHeight << " px '" << c.text << "'");
        ASSERT_TRUE(font_.Create(c.pixelHeight));
        const int bits = GlyphBits(static_cast<unsigned char>(c.text[0]));
        EXPECT_GT(bits, 0);
        EXPECT_EQ(LitPixels(c.text), bits);
        EXPECT_EQ(LitPixels(" "), 0);  // a blank glyph prints nothing
    }
}

TEST_F(BitmapFontTest, AFontMadeAgainCompilesItsNewListsAgain) {
    ASSERT_TRUE(font_.Create(10));
    EXPECT_GT(LitPixels("M"), 0);
    font_.Destroy();
    EXPECT_FALSE(font_.ListsCompiled());
    EXPECT_EQ(LitPixels("M"), 0);  // nothing prints without lists
    ASSERT_TRUE(font_.Create(14));
    EXPECT_FALSE(font_.ListsCompiled());
    EXPECT_EQ(LitPixels("M"), GlyphBits('M'));
}

}  // namespace
