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

// Every graph covers the whole window: the far corners a quarter-sized viewport left black, and
// the series and the dial's face where the window's pixels put them, times two.
TEST_F(GraphAtScaleTwo, EveryGraphCoversTheWholeWindow) {
    struct Probe {
        int x, y;
        ColourSlot colour;  // Text stands for the dial's black face
    };
    const struct {
        int graphType;
        Probe probes[4];
    } cases[] = {
        // Download 5 of 10 at y = 52 of 120, upload 10 of 10 at 1.
        {kGraphLines,
         {{2, 8, ColourSlot::BackgroundTop},
          {636, 8, ColourSlot::BackgroundTop},
          {400, 105, ColourSlot::Download},
          {400, 2, ColourSlot::Upload}}},
        {kGraphBars,
         {{40, 60, ColourSlot::Upload},
          {600, 60, ColourSlot::Upload},
          {400, 150, ColourSlot::Download},
          {2, 236, ColourSlot::BackgroundBottom}}},
        // The face's centre, (160, 60), is device (320, 120).
        {kGraphDial,
         {{320, 100, ColourSlot::Text},
          {636, 2, ColourSlot::BackgroundTop},
          {2, 2, ColourSlot::BackgroundTop},
          {636, 200, ColourSlot::BackgroundBottom}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.graphType);
        OpenScaled(320, 120, "Green LCD");
        ASSERT_TRUE(view_->SetRenderer(c.graphType));
        for (int i = 0; i < 200; ++i) {
            samples_.Append(5.0, 10.0);
        }
        DrawOne();
        DrawOne();
        for (const Probe& probe : c.probes) {
            const Rgb want = probe.colour == ColourSlot::Text
                                 ? Rgb{0, 0, 0}
                                 : ToRgb(themes_.CurrentColour(probe.colour));
            const Rgb got = Pixel(probe.x, probe.y);
            EXPECT_LE(
                std::abs(got.r - want.r) + std::abs(got.g - want.g) + std::abs(got.b - want.b), 40)
                << probe.x << "," << probe.y << " " << got;
        }
        TearDown();
    }
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
