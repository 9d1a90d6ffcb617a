#include "app/WindowSizing.h"

#include <gtest/gtest.h>

#include <cmath>

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

// The saved place counts while at least 40 x 20 pixels of the window lie on one screen, whichever;
// else the window goes to the primary screen's corner above its 30-pixel panel.
TEST(WindowSizing, StartPlaceKeepsTheSavedPositionOnAnyScreen) {
    const ScreenRect left{0, 0, 1280, 1024};
    const ScreenRect right{1280, 0, 1280, 1024};
    const ScreenRect above{0, -1024, 1280, 1024};
    const std::vector<ScreenRect> one{left};
    const std::vector<ScreenRect> two{left, right};
    struct Case {
        const char* name;
        int savedX, savedY;
        WindowSize size;
        std::vector<ScreenRect> screens;
        ScreenRect primary;
        bool usedSaved;
        int x, y;
    };
    const Case cases[] = {
        {"none saved", -1, 500, {221, 62}, one, left, false, 1059, 932},
        {"on the screen", 100, 200, {221, 62}, one, left, true, 100, 200},
        {"on the second monitor", 2000, 100, {221, 62}, two, left, true, 2000, 100},
        {"second monitor unplugged", 2000, 100, {221, 62}, one, left, false, 1059, 932},
        {"corner of a primary on the right", 5000, 100, {320, 90}, two, right, false, 2240, 904},
        {"across both monitors", 1250, 100, {221, 62}, two, left, true, 1250, 100},
        {"a monitor above", 100, -500, {221, 62}, {left, above}, left, true, 100, -500},
        {"39 pixels across", 1241, 100, {221, 62}, one, left, false, 1059, 932},
        {"40 pixels across", 1240, 100, {221, 62}, one, left, true, 1240, 100},
        {"40 pixels from the left", -181, 100, {221, 62}, one, left, true, -181, 100},
        {"19 pixels down", 100, 1005, {221, 62}, one, left, false, 1059, 932},
        {"20 pixels down", 100, 1004, {221, 62}, one, left, true, 100, 1004},
        {"a window smaller than the part", 1250, 1010, {30, 14}, one, left, true, 1250, 1010},
        {"only a corner on each", 1270, 1014, {221, 62}, two, left, false, 1059, 932},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool usedSaved = !c.usedSaved;
        const WindowPlace place =
            StartPlace(c.savedX, c.savedY, c.size, c.screens, c.primary, 30, usedSaved);
        EXPECT_EQ(usedSaved, c.usedSaved);
        EXPECT_EQ(place.x, c.x);
        EXPECT_EQ(place.y, c.y);
    }
}

// On a scaled screen the default corner is rounded inwards: at 1.5 a 2560 x 1600 screen is
// 1707 x 1067 pixels (rounded up), and a corner at 2387 - 320 would end a device pixel past it.
TEST(WindowSizing, DefaultPlaceEndsOnTheScreenAtAnyScale) {
    const struct {
        const char* name;
        int screenWidth, screenHeight, deviceWidth, deviceHeight;
        double ratio;
        WindowSize size;
        WindowPlace want;
    } cases[] = {
        {"unscaled", 1280, 1024, 1280, 1024, 1.0, {221, 62}, {1059, 962}},
        {"twice", 1280, 800, 2560, 1600, 2.0, {320, 90}, {960, 710}},
        {"one and a half", 1707, 1067, 2560, 1600, 1.5, {320, 90}, {1386, 976}},
        {"one and a quarter", 1536, 960, 1920, 1200, 1.25, {221, 62}, {1315, 897}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool saved = true;
        const ScreenRect screen{0, 0, c.screenWidth, c.screenHeight};
        const WindowPlace place = StartPlace(-1, -1, c.size, {screen}, screen, 0, saved, c.ratio);
        EXPECT_FALSE(saved);
        EXPECT_EQ(place.x, c.want.x);
        EXPECT_EQ(place.y, c.want.y);
        // Where Qt puts it in device pixels, rounding each side: on the screen, to the edge or
        // at most a device pixel short of it.
        const long right = std::lround(place.x * c.ratio) + std::lround(c.size.width * c.ratio);
        const long bottom = std::lround(place.y * c.ratio) + std::lround(c.size.height * c.ratio);
        EXPECT_LE(right, c.deviceWidth);
        EXPECT_GE(right, c.deviceWidth - 1);
        EXPECT_LE(bottom, c.deviceHeight);
        EXPECT_GE(bottom, c.deviceHeight - 1);
    }
}

// A settings file may hold any size; the window never asks for more than the desktop holds
// (a 40000 x 40000 window once crashed the GL driver at its first frame), and a size it cannot
// be shown at counts as none saved.
TEST(WindowSizing, SavedSizeNeverExceedsTheDesktop) {
    const struct {
        int savedWidth, savedHeight, width, height;
    } cases[] = {{320, 90, 320, 90},         {2560, 90, 2560, 90},
                 {2561, 90, 2560, 90},       {320, 1441, 320, 1440},
                 {40000, 40000, 2560, 1440}, {2147483647, 2147483647, 2560, 1440},
                 {-1, -1, -1, -1},           {0, 50000, -1, -1},
                 {-5, 300, -1, -1},          {320, 0, -1, -1}};
    for (const auto& c : cases) {
        const WindowSize size = SavedSizeOnDesktop(c.savedWidth, c.savedHeight, 2560, 1440);
        EXPECT_EQ(size.width, c.width) << c.savedWidth << " x " << c.savedHeight;
        EXPECT_EQ(size.height, c.height) << c.savedWidth << " x " << c.savedHeight;
    }
}

// A tool window opens where it was wanted unless the always-on-top graph covers part of it; then
// beside the graph, as near as the desktop allows; and only when the graph leaves no room, where
// it covers least.
TEST(WindowSizing, ToolWindowsOpenWhereTheGraphDoesNotCoverThem) {
    const ScreenRect desktop{0, 0, 1280, 1024};
    struct Case {
        const char* what;
        ScreenRect wanted;
        ScreenRect graph;
        ToolWindowSpot spot;
    };
    const Case cases[] = {
        {"clear of the graph", {400, 300, 480, 400}, {1000, 900, 280, 90}, {400, 300, true}},
        {"no graph shown", {400, 300, 480, 400}, {}, {400, 300, true}},
        {"touching is not covering", {400, 300, 480, 400}, {880, 300, 200, 90}, {400, 300, true}},
        {"off the desktop", {-50, 990, 480, 400}, {}, {0, 624, true}},
        // The graph over the window's top left: below it is nearest.
        {"below", {265, 162, 757, 700}, {100, 100, 320, 90}, {265, 198, true}},
        // No room below or above a tall window: beside the graph at the same height.
        {"right", {300, 150, 600, 730}, {100, 400, 320, 90}, {428, 150, true}},
        {"left", {300, 150, 600, 730}, {860, 400, 320, 90}, {252, 150, true}},
        {"above", {300, 500, 600, 300}, {200, 700, 1000, 300}, {300, 392, true}},
        // A graph made large leaves no room: above it, the graph covers least.
        {"nowhere clear", {340, 262, 600, 500}, {200, 200, 900, 700}, {340, 0, false}},
    };
    for (const Case& c : cases) {
        const ToolWindowSpot spot = ToolWindowPlace(c.wanted, c.graph, desktop);
        EXPECT_EQ(spot.x, c.spot.x) << c.what;
        EXPECT_EQ(spot.y, c.spot.y) << c.what;
        EXPECT_EQ(spot.clear, c.spot.clear) << c.what;
    }
}
