// The real main frame under the run loop, on the fixture's hand-moved clocks: a loop that sleeps
// through the frames nobody needs one by one works every frame as a loop waking for each does.
#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "MainFrameFixture.h"
#include "QuotaTestSupport.h"
#include "app/CTrafficApp.h"
#include "graph/CSampleList.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CGraphWindow.h"
#include "runloop/CFrameLoop.h"
#include "timer/TimerWindow.h"

namespace {

using Clock = CFrameLoop::Clock;

// Hands the loop's frames to the main frame and writes down, after each, all its frame-by-frame
// rules decide: samples, scroll, warning phase, tooltip, the Timer's figures.
class RecordedFrames final : public IFrameWork {
public:
    explicit RecordedFrames(CMainFrame& frame) : frame_(frame) {}

    void WorkFrame(std::uint32_t frameMs) override {
        frame_.WorkFrame(frameMs);
        std::ostringstream line;
        line << frame_.FrameCount() << " samples " << frame_.Meter().Samples().Appended()
             << " scroll " << frame_.Graph().View()->Renderer()->Accumulator() << " warning "
             << frame_.Graph().View()->WarningPhase() << " tip " << frame_.Desktop().TooltipText();
        if (TimerWindow* timer = frame_.Tools().Timer()) {
            for (const char* field : {"elapsedEdit", "downloadedEdit", "downloadRateEdit"}) {
                line << " " << timer->findChild<QLineEdit*>(field)->text().toStdString();
            }
        }
        log.push_back(line.str());
    }
    bool PictureChanged() override { return frame_.PictureChanged(); }
    void ShowPicture() override {
        frame_.ShowPicture();
        ++shows;
    }
    int FramesUntilNeeded(const CFrameTimeline& timeline) override {
        return frame_.FramesUntilNeeded(timeline);
    }
    CFrameTimeline::Duration FrameDelay() const override { return frame_.FrameDelay(); }

    std::vector<std::string> log;
    int shows = 0;

private:
    CMainFrame& frame_;
};

struct MeterRun {
    std::vector<std::string> log;
    int shows = 0;
    int wakeUps = 0;
    int hiddenShows = 0;
};

// A new user's meter on a data folder of its own.
struct MeterRig : MainFrameRig {
    // Ten seconds shown, ten hidden in the tray, ten shown again, with traffic, the Timer running
    // and a quota past its limit; each wake-up exactly when the loop asks for it.
    MeterRun RunMeter(CFrameLoop::Pace pace) {
        MeterRun run;
        EXPECT_TRUE(
            WriteQuotaFile(CDataFolder(dir_.Str(), dir_.Str()), ActiveTotalQuota(100.0, 150.0)));
        std::filesystem::create_directories(dir_.Path() / "gfx");
        std::filesystem::copy_file(TALLYGLASS_WARNING_BMP, dir_.Path() / "gfx" / "warning.bmp",
                                   std::filesystem::copy_options::overwrite_existing);
        auto frame = MakeFrame();
        if (!frame || !QTest::qWaitForWindowExposed(frame->Graph().Window())) {
            ADD_FAILURE() << "no graph window";
            return run;
        }
        frame->Graph().View()->SetFrameDelay(10);  // the usual delay (a first run has 15)
        frame->Tools().OpenTimer();
        frame->Tools().Timer()->findChild<QAbstractButton*>("startButton")->click();

        RecordedFrames frames(*frame);
        CFrameLoop loop(frames, CFramePacer::PeriodForRate(CTrafficApp::kFramesPerSecond),
                        CTrafficApp::kFrameCost, pace);
        loop.SetShowInterval(frame->Graph().ShowInterval());
        Clock::time_point now{std::chrono::milliseconds(msClock_.NowMs())};
        const Clock::time_point start = now;
        loop.Start(now);
        auto runUntil = [&](std::chrono::seconds end) {
            while (now < start + end) {
                // About 300 KB/s down and 50 KB/s up, in bursts at each second, so the graph
                // moves.
                const auto ms =
                    std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
                source_.SetCounters(1, ms * 200 + ms / 1000 * 100000, ms * 50);
                msClock_.Set(CFrameTimeline::MsOf(now));
                now = std::max(now, loop.Wake(now));
                ++run.wakeUps;
            }
        };
        runUntil(std::chrono::seconds(10));
        frame->Graph().Window()->hide();  // as hiding into the tray does
        EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->Graph().Window()->isExposed(); }));
        const int shownBefore = frames.shows;
        runUntil(std::chrono::seconds(20));
        run.hiddenShows = frames.shows - shownBefore;
        frame->Graph().Window()->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame->Graph().Window()));
        runUntil(std::chrono::seconds(30));
        run.log = frames.log;
        run.shows = frames.shows;
        return run;
    }
};

TEST(FrameLoop, SleepingLoopWorksEveryFrameAsALoopWakingForEachOne) {
    const MeterRun every = MeterRig().RunMeter(CFrameLoop::Pace::EveryFrame);
    const MeterRun sleeping = MeterRig().RunMeter(CFrameLoop::Pace::Sleeping);
    ASSERT_FALSE(every.log.empty());

    // The same frames (the sleeping loop still has those since its last wake-up to work), each
    // with the same samples, scroll, warning phase, tooltip and Timer figures.
    ASSERT_LE(sleeping.log.size(), every.log.size());
    ASSERT_GE(sleeping.log.size() + 62, every.log.size());
    for (std::size_t i = 0; i < sleeping.log.size(); ++i) {
        ASSERT_EQ(sleeping.log[i], every.log[i]) << "frame " << i;
    }
    // A frame each frame delay and frame cost, whichever loop: about 85 a second.
    const double frameSeconds =
        0.010 + std::chrono::duration<double>(CTrafficApp::kFrameCost).count();
    EXPECT_NEAR(every.log.size() / 30.0, 1.0 / frameSeconds, 1.0);

    // Hidden, nothing is shown; seen, a frame at each visible change only (how many depends on
    // what else covers the window on a shared X server), after far fewer wake-ups.
    EXPECT_EQ(sleeping.hiddenShows, 0);
    EXPECT_EQ(every.hiddenShows, 0);
    EXPECT_LT(sleeping.shows, static_cast<int>(every.log.size()) / 4);
    EXPECT_LT(sleeping.wakeUps, every.wakeUps / 3);
}

}  // namespace
