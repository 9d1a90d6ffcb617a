#include "graph/ResizeEdges.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned L = kEdgeLeft;
constexpr unsigned T = kEdgeTop;
constexpr unsigned R = kEdgeRight;
constexpr unsigned B = kEdgeBottom;

TEST(ResizeEdges, BordersSidesAndCornersOfTheWindow) {
    struct Case {
        int width, height, x, y;
        unsigned edges;
    };
    const Case cases[] = {
        // The default 221 x 62 window: 4-pixel bands, corners reach 12 pixels along each side.
        {221, 62, 0, 0, L | T},
        {221, 62, 4, 4, kEdgeNone},
        {221, 62, 110, 30, kEdgeNone},
        {221, 62, 0, 30, L},
        {221, 62, 0, 11, L | T},
        {221, 62, 0, 12, L},
        {221, 62, 11, 0, L | T},
        {221, 62, 12, 0, T},
        {221, 62, 110, 57, kEdgeNone},
        {221, 62, 110, 58, B},
        {221, 62, 220, 30, R},
        {221, 62, 216, 30, kEdgeNone},
        {221, 62, 217, 30, R},
        {221, 62, 220, 0, R | T},
        {221, 62, 0, 61, L | B},
        {221, 62, 209, 61, R | B},
        {221, 62, 208, 61, B},
        // Outside the window nothing is grabbed.
        {221, 62, -1, 5, kEdgeNone},
        {221, 62, 221, 5, kEdgeNone},
        {221, 62, 5, 62, kEdgeNone},
        // The smallest default window keeps a plain middle on its short sides.
        {60, 20, 0, 10, L},
        {60, 20, 0, 5, L | T},
        {60, 20, 0, 6, L},
        {60, 20, 0, 14, L | B},
        // A window smaller than two bands: the nearer edge.
        {6, 6, 2, 2, L | T},
        {6, 6, 3, 3, R | B},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResizeEdgesAt(c.x, c.y, c.width, c.height), c.edges)
            << c.width << " x " << c.height << " at (" << c.x << ", " << c.y << ")";
    }
}

TEST(ResizeEdges, BandsAreExactlyTheBorderWideAndNeverGrabOppositeEdges) {
    const int sizes[][2] = {{221, 62}, {320, 90}, {60, 20}, {9, 9}, {8, 30}, {3, 200}};
    for (const auto& size : sizes) {
        const int width = size[0];
        const int height = size[1];
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned edges = ResizeEdgesAt(x, y, width, height);
                const bool inBand = x < kResizeBorder || y < kResizeBorder ||
                                    x >= width - kResizeBorder || y >= height - kResizeBorder;
                ASSERT_EQ(edges != kEdgeNone, inBand)
                    << width << "x" << height << " " << x << "," << y;
                ASSERT_FALSE((edges & L) && (edges & R)) << width << "x" << height << " " << x;
                ASSERT_FALSE((edges & T) && (edges & B)) << width << "x" << height << " " << y;
                if (x < kResizeBorder && x < width - 1 - x) {
                    ASSERT_TRUE(edges & L) << width << "x" << height << " " << x << "," << y;
                }
                if (y >= height - kResizeBorder && height - 1 - y < y) {
                    ASSERT_TRUE(edges & B) << width << "x" << height << " " << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
