#include <gtest/gtest.h>

#include "FakeClocks.h"
#include "app/CFramePacer.h"
#include "app/CFrameRateMeter.h"

using namespace std::chrono;

namespace {

// Drives the pacer as the event loop does: wake at the deadline plus a wake-up delay, run a
// frame of the given length, sleep until the next deadline.
struct LoopSimulation {
    CFramePacer pacer{CFramePacer::PeriodForRate(90)};
    CFramePacer::Clock::time_point now{};
    std::vector<CFramePacer::Clock::time_point> frameStarts;

    void RunFrames(int count, nanoseconds wakeDelay, nanoseconds frameLength) {
        for (int i = 0; i < count; ++i) {
            now += pacer.UntilNext(now) + wakeDelay;
            ASSERT_TRUE(pacer.Due(now));
            frameStarts.push_back(now);
            pacer.FrameStarted(now);
            now += frameLength;
        }
    }
};

}  // namespace

TEST(CFramePacer, KeepsExactlyNinetyFramesPerSecondDespiteLateWakeUps) {
    EXPECT_EQ(CFramePacer::PeriodForRate(90), nanoseconds(11111111));

    LoopSimulation loop;
    loop.pacer.Start(loop.now);
    // Timers wake up to a millisecond late; the grid must absorb it rather than drift.
    loop.RunFrames(901, microseconds(900), milliseconds(2));
    const auto elapsed = loop.frameStarts.back() - loop.frameStarts.front();
    EXPECT_NEAR(duration<double>(elapsed).count(), 10.0, 0.002);
}

TEST(CFramePacer, SlowFrameIsFollowedByOneFrameAndNoCatchUpBurst) {
    LoopSimulation loop;
    loop.pacer.Start(loop.now);
    const auto period = loop.pacer.Period();
    loop.RunFrames(1, nanoseconds(0), period * 3);  // one frame that takes three periods
    const auto slowEnd = loop.now;
    EXPECT_TRUE(loop.pacer.Due(slowEnd));  // the next frame is due at once
    loop.RunFrames(3, nanoseconds(0), milliseconds(1));
    ASSERT_EQ(loop.frameStarts.size(), 4u);
    EXPECT_EQ(loop.frameStarts[1], slowEnd);
    // ...and then frames are one period apart again, not bunched up.
    EXPECT_EQ(loop.frameStarts[2] - loop.frameStarts[1], period);
    EXPECT_EQ(loop.frameStarts[3] - loop.frameStarts[2], period);
}

TEST(CFramePacer, NotDueBeforeTheBoundary) {
    CFramePacer pacer(milliseconds(10));
    const CFramePacer::Clock::time_point start{};
    pacer.Start(start);
    pacer.FrameStarted(start);
    EXPECT_FALSE(pacer.Due(start + milliseconds(9)));
    EXPECT_EQ(pacer.UntilNext(start + milliseconds(4)), milliseconds(6));
    EXPECT_TRUE(pacer.Due(start + milliseconds(10)));
    EXPECT_EQ(pacer.UntilNext(start + milliseconds(12)), nanoseconds::zero());
}

TEST(CFrameRateMeter, StoresRateFromFirstEighteenTicksAndRestartsAfterTwentyOne) {
    FakeMsClock clock(1000);
    CFrameRateMeter meter(clock);
    EXPECT_DOUBLE_EQ(meter.Rate(), 100.0);

    for (int i = 0; i < 7; ++i) {
        clock.Advance(10);
        meter.Tick();
    }
    EXPECT_DOUBLE_EQ(meter.Rate(), 100.0);  // fewer than 8 frames: the stored rate
    clock.Advance(10);
    meter.Tick();  // 8 frames in 80 ms: live estimate
    EXPECT_NEAR(meter.Rate(), 100.0, 1e-3);
    for (int i = 0; i < 10; ++i) {
        clock.Advance(20);
        meter.Tick();
    }
    // 18 frames in 280 ms: stored and live estimate agree right now.
    EXPECT_NEAR(meter.Rate(), 18000.0 / 280.0, 1e-3);
    clock.Advance(100);
    EXPECT_NEAR(meter.Rate(), 18000.0 / 380.0, 1e-3);  // live estimate moves on

    for (int i = 0; i < 3; ++i) {
        meter.Tick();  // 19, 20, then 21 -> new window
    }
    EXPECT_NEAR(meter.Rate(), 18000.0 / 280.0, 1e-3);  // back to the stored rate
}

TEST(CFrameRateMeter, SurvivesTheClockWrap) {
    FakeMsClock clock(0xFFFFFF00u);
    CFrameRateMeter meter(clock);
    for (int i = 0; i < 18; ++i) {
        clock.Advance(20);  // crosses 2^32 on the way
        meter.Tick();
    }
    EXPECT_NEAR(meter.Rate(), 50.0, 1e-3);
}
