#include <QByteArray>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <set>

#include "GraphPixelFixture.h"
#include "graphgl/CBitmapFont.h"

// The graph on a screen of twice the pixels (QT_SCALE_FACTOR=2, set before the application
// starts): a 320 x 90 window is 640 x 180 device pixels. The pictures are those of the unscaled
// tests, laid out in the window's pixels and drawn over every device pixel.
namespace {

const bool kScaled = [] { return qputenv("QT_SCALE_FACTOR", "2"); }();

class GraphAtScaleTwo : public GraphPixelTest {
protected:
    void SetUp() override { ASSERT_TRUE(kScaled); }
    void OpenScaled(int width, int height, const char* theme) {
        Open(width, height, theme);
        ASSERT_EQ(ratio_, 2.0) << "the screen is not scaled";
    }
};

TEST_F(GraphAtScaleTwo, GradientCoversEveryDevicePixel) {
    OpenScaled(320, 90, "Scarlet");
    samples_.Append(0.0, 0.0);
    DrawOne();
    const Rgb wantTop = ToRgb(themes_.CurrentColour(ColourSlot::BackgroundTop));
    const Rgb wantBottom = ToRgb(themes_.CurrentColour(ColourSlot::BackgroundBottom));
    // The far corners, which a quarter-sized viewport left black.
    for (int x : {5, 634}) {
        EXPECT_NEAR(Pixel(x, 0).r, wantTop.r, 2) << x;
        EXPECT_NEAR(Pixel(x, 179).r, wantBottom.r, 2) << x;
    }
    EXPECT_EQ(CountColour(0, 150, {0, 0, 0}), 0);  // no black above the texts
}

TEST_F(GraphAtScaleTwo, SeriesLieAtTwiceTheirHeightsWithTwiceTheirWidth) {
    OpenScaled(320, 120, "Green LCD");
    for (int i = 0; i < 200; ++i) {
        samples_.Append(5.0, 10.0);
    }
    DrawOne();
    DrawOne();
    // Download 5 of 10 at y = 52 in the window's pixels, so rows 104 and on; upload at 1.
    const Rgb download = ToRgb(themes_.CurrentColour(ColourSlot::Download));
    const Rgb upload = ToRgb(themes_.CurrentColour(ColourSlot::Upload));
    EXPECT_GT(CountColour(100, 110, download, 40), 400);
    EXPECT_EQ(CountColour(120, 200, download, 40), 0);
    EXPECT_GT(CountColour(0, 6, upload, 40), 400);
    // A line 2 pixels wide is 4 device pixels thick.
    int thick = 0;
    for (int y = 95; y < 115; ++y) {
        const Rgb p = Pixel(400, y);
        thick += std::abs(p.r - download.r) <= 40 && std::abs(p.g - download.g) <= 40 &&
                 std::abs(p.b - download.b) <= 40;
    }
    EXPECT_GE(thick, 3);
    EXPECT_LE(thick, 6);
}

// The texts are rasterised at the scale: as tall in device pixels as twice the unscaled glyphs.
TEST_F(GraphAtScaleTwo, TextsAreDrawnWithGlyphsOfTwiceTheSize) {
    OpenScaled(320, 90, "Red & Blue");  // black text on a near-white background
    samples_.Append(512.0, 1500.0);
    DrawOne();
    EXPECT_EQ(text_.Font(TextFont::Large).PixelHeight(), 28);
    std::set<int> rows;
    for (int y = 120; y < 180; ++y) {
        if (CountColour(y, y + 1, {0, 0, 0}) > 0) {
            rows.insert(y);
        }
    }
    CBitmapFont unscaled;
    ASSERT_TRUE(unscaled.Create(FontPixelHeight(TextFont::Large)));
    EXPECT_GE(static_cast<int>(rows.size()), 2 * unscaled.InkAbove('D'));
    unscaled.Destroy();
}

TEST_F(GraphAtScaleTwo, ScanlinesDarkenEveryOtherPairOfDeviceRows) {
    OpenScaled(300, 60, "XP Blue");
    samples_.Append(0.0, 0.0);
    view_->CreateScanline();
    DrawOne();
    // Each row of the window is two device rows, shaded alike (the gradient aside); the next
    // pair the other way.
    for (int y = 40; y < 48; y += 2) {
        EXPECT_NEAR(Pixel(10, y).b, Pixel(10, y + 1).b, 2) << y;
        EXPECT_GT(std::abs(Pixel(10, y).b - Pixel(10, y + 2).b), 40) << y;
    }
}

TEST_F(GraphAtScaleTwo, DialFillsTheWindow) {
    OpenScaled(320, 90, "XP Silver");
    ASSERT_TRUE(view_->SetRenderer(kGraphDial));
    for (int i = 0; i < 5; ++i) {
        samples_.Append(3.0, 1.0);
    }
    DrawOne();
    // The face's centre lies at the window's centre, (160, 45), which is device (320, 90).
    const Rgb face = Pixel(320, 70);
    EXPECT_LT(face.r + face.g + face.b, 60);
    const Rgb background = Pixel(600, 10);
    EXPECT_GT(background.r + background.g + background.b, 300);
}

// The quota picture keeps its shape: 300 x 150 shows it 300 x 75, centred, over the background.
TEST_F(GraphAtScaleTwo, WarningPictureKeepsItsShapeOnTheBackground) {
    OpenScaled(300, 150, "Deep Blue");
    samples_.Append(1.0, 1.0);
    DrawOne();
    view_->SetQuotaWarning(true);
    clock_.Advance(1);
    DrawOne();
    ASSERT_TRUE(view_->WarningPhase());
    const Rgb background = ToRgb(themes_.CurrentColour(ColourSlot::BackgroundTop));
    EXPECT_NEAR(Pixel(300, 2).b, background.b, 3);  // above the picture
    const Rgb amber = Pixel(469, 80);               // its (200, 2), which is amber
    EXPECT_GT(amber.r, 200);
    EXPECT_LT(amber.b, 60);
}

}  // namespace
