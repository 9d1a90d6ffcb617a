#include "app/WindowSizing.h"

#include <gtest/gtest.h>

TEST(WindowSizing, DefaultSizeFollowsScreenWidth) {
    const struct {
        int screen, width, height;
    } cases[] = {{1920, 320, 90}, {1600, 320, 90}, {1599, 221, 62},
                 {1280, 221, 62}, {1024, 221, 62}, {1023, 176, 56},
                 {800, 176, 56},  {640, 176, 56},  {639, 60, 20}};
    for (const auto& c : cases) {
        const WindowSize size = DefaultWindowSize(c.screen);
        EXPECT_EQ(size.width, c.width) << c.screen;
        EXPECT_EQ(size.height, c.height) << c.screen;
    }
}

TEST(WindowSizing, StartPlaceUsesSavedPositionOnlyWhenItIsOnTheScreen) {
    bool saved = false;
    // No saved position: bottom-right corner above a 30-pixel panel.
    WindowPlace place = StartPlace(-1, 500, 1280, 1024, 30, {221, 62}, saved);
    EXPECT_FALSE(saved);
    EXPECT_EQ(place.x, 1059);
    EXPECT_EQ(place.y, 932);

    place = StartPlace(100, 200, 1280, 1024, 30, {221, 62}, saved);
    EXPECT_TRUE(saved);
    EXPECT_EQ(place.x, 100);
    EXPECT_EQ(place.y, 200);

    // Saved on a wider screen than the current one: back to the corner.
    place = StartPlace(1280, 200, 1280, 1024, 30, {221, 62}, saved);
    EXPECT_FALSE(saved);
    EXPECT_EQ(place.x, 1059);
}
