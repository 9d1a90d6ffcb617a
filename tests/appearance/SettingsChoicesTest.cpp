#include "appearance/SettingsChoices.h"

#include <gtest/gtest.h>

#include "appearance/CAutostartEntry.h"

namespace {

TEST(GraphSpeed, TrackbarAndFrameDelayMapBothWays) {
    struct Case {
        int delay;
        int position;
    };
    // 26 and 32 sit left of the plain formula's 22 and 4, which would come back as 25 and 31.
    for (const Case& c : {Case{1, 97}, Case{10, 70}, Case{15, 55}, Case{25, 25}, Case{26, 21},
                          Case{32, 3}, Case{33, 0}}) {
        EXPECT_EQ(GraphSpeedPosition(c.delay), c.position) << "delay " << c.delay;
    }
    for (const Case& c : {Case{1, 100}, Case{1, 97}, Case{17, 50}, Case{33, 0}}) {
        EXPECT_EQ(FrameDelayForPosition(c.position), c.delay) << "position " << c.position;
    }
    // Opening the window and applying without touching the trackbar never changes the speed.
    for (int delay = 1; delay <= 33; ++delay) {
        EXPECT_EQ(FrameDelayForPosition(GraphSpeedPosition(delay)), delay);
    }
}

TEST(AutostartEntry, ExecQuotesAndEscapesThePathAsDesktopEntriesRequire) {
    struct Case {
        const char* path;
        const char* exec;
    };
    const Case cases[] = {
        {"/usr/lib/tallyglass/tallyglass", "/usr/lib/tallyglass/tallyglass"},
        {"/home/ann/my apps/tallyglass", "\"/home/ann/my apps/tallyglass\""},
        {"/opt/100%/tallyglass", "/opt/100%%/tallyglass"},
        // Inside quotes: \" \$ \` and \\, then every backslash doubled by the string escapes.
        {"/opt/$HOME/a\"b", "\"/opt/\\\\$HOME/a\\\\\"b\""},
        {"/opt/a\\b/`x`", "\"/opt/a\\\\\\\\b/\\\\`x\\\\`\""},
        {"/opt/tab\there", "\"/opt/tab\\there\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopExecArgument(c.path), c.exec) << c.path;
    }
}

}  // namespace
