#include "graph/CWarningBlink.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The picture's phase at each frame time while the warning is raised at `raiseAt`.
std::vector<bool> Phases(std::uint32_t raiseAt, const std::vector<std::uint32_t>& frames) {
    CWarningBlink blink;
    blink.SetRaised(true);
    std::vector<bool> shown;
    for (std::uint32_t offset : frames) {
        shown.push_back(blink.Phase(raiseAt + offset));
    }
    return shown;
}

TEST(WarningBlink, ShowsThePictureAtOnceThenFlipsEveryTwoSecondsWhereverTheClockIs) {
    const std::vector<std::uint32_t> frames = {0, 1000, 1999, 2000, 3999, 4000, 6000};
    const std::vector<bool> expected = {true, true, true, false, false, true, false};
    // Raised early, after 24.8 days of uptime, and just before the clock wraps.
    for (std::uint32_t raiseAt : {10000u, 0x80000000u + 12345u, 0xFFFFFFFFu - 2500u}) {
        EXPECT_EQ(Phases(raiseAt, frames), expected) << raiseAt;
    }
}

TEST(WarningBlink, ARaisedAgainWarningStartsWithThePictureAgain) {
    CWarningBlink blink;
    blink.SetRaised(true);
    EXPECT_TRUE(blink.Phase(100));
    blink.SetRaised(true);  // still raised, every frame: no restart
    EXPECT_TRUE(blink.Phase(200));
    blink.SetRaised(false);
    EXPECT_FALSE(blink.PictureShown());
    blink.SetRaised(true);
    EXPECT_TRUE(blink.Phase(300));
}

}  // namespace
