#include <gtest/gtest.h>

#include <vector>

#include "StopwatchFixture.h"
#include "timer/CRefreshCountdown.h"
#include "timer/CTimerPanel.h"
#include "timer/CTrafficStopwatch.h"

namespace {

constexpr std::uint32_t kHour = 3600000;

using StopwatchTest = StopwatchFixture;

TEST_F(StopwatchTest, CountsOnlyWhatCameWhileRunningAndAveragesOverTheRunningTime) {
    Traffic(40.0, 8.0);  // before the start: not counted
    CTimerPanel panel(history, ms);
    EXPECT_EQ(panel.Figures(), (TimerFigures{"0 B", "0 B", "0.0 KB/s", "0.0 KB/s", "00:00:00"}));

    panel.PressStart();
    ms.Advance(4000);
    Traffic(1.0, 0.25);
    panel.PressPause();
    // Time and traffic while paused are not counted.
    ms.Advance(kHour);
    Traffic(300.0, 30.0);
    panel.PressStart();
    ms.Advance(6000);
    Traffic(0.5, 0.5);
    panel.Refresh();

    // 1.5 MB down and 0.75 MB up in 10 s of running time.
    EXPECT_EQ(panel.Figures(),
              (TimerFigures{"1.50 MB", "768.00 KB", "153.6 KB/s", "76.8 KB/s", "00:00:10"}));
}

TEST_F(StopwatchTest, ReadingsAreExactAcrossPausesAndAtTheEdges) {
    CTrafficStopwatch stopwatch(history, ms);
    stopwatch.Start();
    Traffic(0.5 / 1024.0, 0.0);  // half a KB before any time has passed
    StopwatchReading reading = stopwatch.Query();
    EXPECT_DOUBLE_EQ(reading.downloadedKB, 0.5);
    EXPECT_EQ(reading.downloadRate, 0.0) << "no running time yet";
    EXPECT_EQ(reading.uploadRate, 0.0);

    // Ten pause/resume cycles of 1 s and 0.1 MB each: nothing lost or counted twice.
    for (int i = 0; i < 10; ++i) {
        ms.Advance(1000);
        Traffic(0.1, 0.2);
        stopwatch.Query();
        stopwatch.Pause();
        ms.Advance(777);
        Traffic(5.0, 5.0);
        stopwatch.Start();
    }
    reading = stopwatch.Query();
    EXPECT_EQ(reading.elapsedMs, 10000u);
    EXPECT_NEAR(reading.downloadedKB, 0.5 + 1024.0, 1e-9);
    EXPECT_NEAR(reading.uploadedKB, 2048.0, 1e-9);
    EXPECT_NEAR(reading.uploadRate, 204.8, 1e-9);

    // DownloadedSoFar catches up the download alone; the time waits for the next query.
    ms.Advance(5000);
    Traffic(1.0, 1.0);
    EXPECT_NEAR(stopwatch.DownloadedSoFar(), 0.5 + 2048.0, 1e-9);
    reading = stopwatch.Query();
    EXPECT_EQ(reading.elapsedMs, 15000u);
    EXPECT_NEAR(reading.uploadedKB, 3072.0, 1e-9);
}

TEST_F(StopwatchTest, RunningTimeSurvivesTheClockWrapAndOutgrowsIt) {
    ms.Set(0xFFFFFFFFu - 4999u);  // five seconds before the 32-bit clock wraps
    CTimerPanel panel(history, ms);
    panel.PressStart();
    ms.Advance(10000);
    Traffic(1.5, 0.0);
    panel.Refresh();
    EXPECT_EQ(panel.Figures().elapsed, "00:00:10");
    EXPECT_EQ(panel.Figures().downloadRate, "153.6 KB/s");

    // Sixty days of hourly refreshes: the clock wraps again, the running time keeps counting.
    for (int hour = 0; hour < 60 * 24; ++hour) {
        ms.Advance(kHour);
        panel.Refresh();
    }
    EXPECT_EQ(panel.Figures().elapsed, "1440:00:10");
}

// What each button does in each state: the state shown, the Start button's name, and whether
// the stopwatch counts afterwards.
struct Transition {
    const char* from;
    const char* press;
    const char* state;
    const char* caption;
    bool counts;
    bool cleared;
};

class StopwatchStateTable : public StopwatchTest, public ::testing::WithParamInterface<Transition> {
protected:
    // Brings a fresh panel into the named state.
    void Enter(CTimerPanel& panel, const std::string& from) {
        if (from == "Stopped") {
            return;
        }
        panel.PressStart();
        ms.Advance(1000);
        Traffic(from == "Paused, nothing counted" ? 0.0 : 1.0, 0.5);
        if (from != "Running") {
            panel.PressPause();
        }
    }

    void Press(CTimerPanel& panel, const std::string& button) {
        if (button == "Start") {
            panel.PressStart();
        } else if (button == "Pause") {
            panel.PressPause();
        } else {
            panel.PressReset();
        }
    }
};

TEST_P(StopwatchStateTable, FollowsTheTable) {
    const Transition& t = GetParam();
    CTimerPanel panel(history, ms);
    Enter(panel, t.from);
    panel.Refresh();
    const TimerFigures before = panel.Figures();

    Press(panel, t.press);
    EXPECT_EQ(panel.State(), t.state);
    EXPECT_EQ(panel.StartCaption(), t.caption);
    if (t.cleared) {
        // Reset shows its zeros at once.
        EXPECT_EQ(panel.Figures(),
                  (TimerFigures{"0 B", "0 B", "0.0 KB/s", "0.0 KB/s", "00:00:00"}));
    }

    ms.Advance(2000);
    Traffic(1.0, 1.0);
    panel.Refresh();
    if (t.counts) {
        EXPECT_NE(panel.Figures().elapsed, before.elapsed);
        EXPECT_NE(panel.Figures().downloaded, before.downloaded);
    } else if (!t.cleared) {
        EXPECT_EQ(panel.Figures(), before);
    } else {
        EXPECT_EQ(panel.Figures().elapsed, "00:00:00");
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryStateAndButton, StopwatchStateTable,
    ::testing::Values(
        Transition{"Stopped", "Start", "Running", "Stop", true, false},
        Transition{"Stopped", "Pause", "Stopped", "Start", false, false},
        Transition{"Stopped", "Reset", "Stopped", "Start", false, true},
        // Start while running keeps running; only the button's name changes back.
        Transition{"Running", "Start", "Running", "Start", true, false},
        Transition{"Running", "Pause", "Paused", "Stop", false, false},
        Transition{"Running", "Reset", "Stopped", "Start", false, true},
        Transition{"Paused, download counted", "Start", "Running", "Stop", true, false},
        Transition{"Paused, download counted", "Pause", "Running", "Stop", true, false},
        Transition{"Paused, download counted", "Reset", "Stopped", "Start", false, true},
        Transition{"Paused, nothing counted", "Start", "Running", "Stop", true, false},
        Transition{"Paused, nothing counted", "Pause", "Paused", "Stop", false, false},
        Transition{"Paused, nothing counted", "Reset", "Stopped", "Start", false, true}));

TEST(RefreshCountdown, RefreshesOnThe26thFrameAndEvery51After) {
    CRefreshCountdown countdown;
    std::vector<int> refreshed;
    for (int frame = 1; frame <= 200; ++frame) {
        if (countdown.Tick()) {
            refreshed.push_back(frame);
        }
    }
    EXPECT_EQ(refreshed, (std::vector<int>{26, 77, 128, 179}));
}

}  // namespace
