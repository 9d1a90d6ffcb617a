#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "FakeClocks.h"
#include "runloop/CFramePacer.h"

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
            now = std::max(now, pacer.Next()) + wakeDelay;
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
    EXPECT_LE(loop.pacer.Next(), slowEnd);  // the next frame is due at once
    loop.RunFrames(3, nanoseconds(0), milliseconds(1));
    ASSERT_EQ(loop.frameStarts.size(), 4u);
    EXPECT_EQ(loop.frameStarts[1], slowEnd);
    // ...and then frames are one period apart again, not bunched up.
    EXPECT_EQ(loop.frameStarts[2] - loop.frameStarts[1], period);
    EXPECT_EQ(loop.frameStarts[3] - loop.frameStarts[2], period);
}

#include "runloop/CFrameLoop.h"

namespace {

using Clock = CFrameLoop::Clock;

// A graph whose every 62nd frame samples and whose picture changes every 5th frame (a scroll
// of a quarter pixel) while it is seen: what the loop works and shows, and when.
class FakeFrames final : public IFrameWork {
public:
    void WorkFrame(std::uint32_t frameMs) override {
        worked.push_back(frameMs);
        ++frame;
    }
    bool PictureChanged() override { return seen && frame / 5 != shownPicture; }
    void ShowPicture() override {
        shownPicture = frame / 5;
        ++shows;
    }
    int FramesUntilNeeded(const CFrameTimeline&) override {
        const int untilSample = 61 - static_cast<int>(frame % 62);
        const int untilPicture = PictureChanged() ? 0 : 4 - static_cast<int>(frame % 5);
        return seen ? std::min(untilSample, untilPicture) : untilSample;
    }
    CFrameTimeline::Duration FrameDelay() const override { return delay; }

    std::vector<std::uint32_t> worked;
    std::uint64_t frame = 0;
    std::uint64_t shownPicture = ~0ull;
    int shows = 0;
    bool seen = false;
    CFrameTimeline::Duration delay = milliseconds(10);
};

constexpr auto kCost = microseconds(2000);

// Runs a loop for `span`, waking each time exactly when it asks (plus `lateness`); returns the
// number of wake-ups.
int RunFor(CFrameLoop& loop, Clock::time_point& now, nanoseconds span,
           nanoseconds lateness = nanoseconds(0)) {
    const Clock::time_point end = now + span;
    int wakeUps = 0;
    while (now < end) {
        const Clock::time_point next = loop.Wake(now);
        ++wakeUps;
        now = std::max(next, now) + lateness;
    }
    return wakeUps;
}

}  // namespace

TEST(CFrameTimeline, FramesLastTheirDelayAndTimedOnesKeepTheGrid) {
    struct Case {
        const char* name;
        nanoseconds length;
        double framesPerSecond;
    };
    // A timed frame and its paint-driven frame run back to back; the next timed frame waits for
    // the grid (1/90 s) only when the two are shorter than a period.
    const Case cases[] = {{"usual 10 ms delay", milliseconds(12), 1000.0 / 12.0},
                          {"1 ms delay", milliseconds(3), 180.0},
                          {"33 ms delay", milliseconds(35), 1000.0 / 35.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFrameTimeline timeline(CFramePacer::PeriodForRate(90));
        const Clock::time_point start{};
        timeline.Start(start);
        timeline.SetFrameLength(c.length);
        int frames = 0;
        while (timeline.NextAt() < start + seconds(10)) {
            timeline.Advance();
            ++frames;
        }
        EXPECT_NEAR(frames / 10.0, c.framesPerSecond, 0.5);
        EXPECT_EQ(timeline.At(3), [&] {
            CFrameTimeline copy = timeline;
            copy.Advance();
            copy.Advance();
            copy.Advance();
            return copy.NextAt();
        }());
    }
}

TEST(CFrameLoop, SleepingLoopWorksTheSameFramesAtTheSameTimesAsOneWakingForEach) {
    for (bool seen : {false, true}) {
        SCOPED_TRACE(seen ? "seen" : "hidden");
        FakeFrames sleepingFrames;
        FakeFrames everyFrames;
        sleepingFrames.seen = everyFrames.seen = seen;
        CFrameLoop sleeping(sleepingFrames, CFramePacer::PeriodForRate(90), kCost);
        CFrameLoop every(everyFrames, CFramePacer::PeriodForRate(90), kCost,
                         CFrameLoop::Pace::EveryFrame);
        Clock::time_point sleepingNow{seconds(5)};
        Clock::time_point everyNow = sleepingNow;
        sleeping.Start(sleepingNow);
        every.Start(everyNow);
        const int sleepingWakes = RunFor(sleeping, sleepingNow, seconds(10));
        const int everyWakes = RunFor(every, everyNow, seconds(10));

        // The sleeping loop has the frames since its last wake-up still to work.
        const std::vector<std::uint32_t>& fewer = sleepingFrames.worked;
        ASSERT_LE(fewer.size(), everyFrames.worked.size());
        ASSERT_GE(fewer.size() + 62, everyFrames.worked.size());
        EXPECT_TRUE(std::equal(fewer.begin(), fewer.end(), everyFrames.worked.begin()));
        EXPECT_NEAR(static_cast<double>(everyFrames.worked.size()) / 10.0, 1000.0 / 12.0, 1.0);
        // One wake-up per sample, and while seen one per quarter pixel as well.
        const double frames = static_cast<double>(everyFrames.worked.size());
        EXPECT_EQ(everyWakes, static_cast<int>(frames));
        EXPECT_NEAR(sleepingWakes, frames / 62.0 + (seen ? frames / 5.0 : 0.0), 3.0);
        EXPECT_NEAR(sleepingFrames.shows, seen ? everyFrames.shows : 0, 1);
    }
}

TEST(CFrameLoop, AnEarlyWakeUpWorksTheFramesDueAndALateOneCatchesNothingUp) {
    FakeFrames frames;
    CFrameLoop loop(frames, CFramePacer::PeriodForRate(90), kCost);
    Clock::time_point now{seconds(1)};
    loop.Start(now);
    Clock::time_point next = loop.Wake(now);  // the first frame
    ASSERT_EQ(frames.worked.size(), 1u);
    EXPECT_EQ(next - now, 61 * milliseconds(12));  // asleep until the frame that samples

    // Woken early, by a click, 100 ms on: the 8 frames due by then are worked, no more.
    next = loop.Wake(now + milliseconds(100));
    EXPECT_EQ(frames.worked.size(), 1u + 8u);
    EXPECT_EQ(next - now, 61 * milliseconds(12));  // the plan still holds

    // Woken a minute late (a machine asleep): the frames up to the planned one, then the grid
    // starts again from the present instead of catching up a minute of frames.
    const Clock::time_point late = now + minutes(1);
    next = loop.Wake(late);
    EXPECT_EQ(frames.worked.size(), 62u);
    EXPECT_EQ(loop.Timeline().NextAt(), late);
    EXPECT_EQ(next, late + 61 * milliseconds(12));
}

TEST(CFrameLoop, NoTwoPicturesWithinOneScreenRefresh) {
    FakeFrames frames;
    frames.seen = true;
    frames.delay = milliseconds(1);  // 180 frames a second: a change every 28 ms
    CFrameLoop loop(frames, CFramePacer::PeriodForRate(90), kCost);
    loop.SetShowInterval(milliseconds(50));
    Clock::time_point now{seconds(1)};
    loop.Start(now);
    std::vector<Clock::time_point> shows;
    for (int i = 0; i < 200; ++i) {
        const int before = frames.shows;
        const Clock::time_point next = loop.Wake(now);
        if (frames.shows != before) {
            shows.push_back(now);
        }
        now = std::max(next, now);
    }
    ASSERT_GT(shows.size(), 20u);
    for (std::size_t i = 1; i < shows.size(); ++i) {
        EXPECT_GE(shows[i] - shows[i - 1], milliseconds(50));
        EXPECT_LT(shows[i] - shows[i - 1], milliseconds(60));  // and not much later
    }
}
