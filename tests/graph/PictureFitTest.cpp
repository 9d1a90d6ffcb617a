#include "graph/PictureFit.h"

#include <gtest/gtest.h>

// The quota picture keeps its shape in any window: as large as fits, centred.
TEST(PictureFit, KeepsTheShapeAndCentres) {
    const struct {
        const char* name;
        int width, height;
        PictureRect want;
        int whole;  // times each pixel is repeated before smoothing
    } cases[] = {
        {"its own size", 256, 64, {0.0f, 0.0f, 256.0f, 64.0f, 1.0f}, 1},
        {"wide and tall", 800, 300, {0.0f, 50.0f, 800.0f, 200.0f, 3.125f}, 3},
        {"very wide", 800, 64, {272.0f, 0.0f, 256.0f, 64.0f, 1.0f}, 1},
        {"narrow", 100, 200, {0.0f, 87.5f, 100.0f, 25.0f, 0.390625f}, 1},
        {"default", 320, 90, {0.0f, 5.0f, 320.0f, 80.0f, 1.25f}, 1},
        {"nothing", 0, 90, {0.0f, 0.0f, 0.0f, 0.0f, 0.0f}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PictureRect got = FitPicture(256, 64, c.width, c.height);
        EXPECT_FLOAT_EQ(got.left, c.want.left);
        EXPECT_FLOAT_EQ(got.top, c.want.top);
        EXPECT_FLOAT_EQ(got.width, c.want.width);
        EXPECT_FLOAT_EQ(got.height, c.want.height);
        EXPECT_FLOAT_EQ(got.scale, c.want.scale);
        EXPECT_EQ(WholeEnlargement(got.scale), c.whole);
    }
}
