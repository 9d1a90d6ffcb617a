#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMenu>
#include <QOpenGLContext>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "MainFrameFixture.h"
#include "QuotaTestSupport.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "app/CTrafficApp.h"
#include "appearance/CSettings.h"
#include "graph/CSampleList.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CGraphWindow.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "sampling/CTrafficSampler.h"
#include "timer/TimerWindow.h"
#include "tray/CSystemTray.h"

namespace {

using MainFrameTest = MainFrameFixture;

TEST_F(MainFrameTest, FirstRunWritesDefaultsPlacesWindowAndBuildsTheMenu) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->IsReady());
    EXPECT_TRUE(std::filesystem::exists(dir_.Path() / "settings.dat"));
    EXPECT_EQ(frame->Graph().View()->FrameDelay(), 15);  // first run; the file says 10 for the next

    // 1280 x 1024 screen, no panel: 221 x 62 in the bottom-right corner after the first frame.
    frame->RunFrame();
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->Graph().Window()->size() == QSize(221, 62); }));
    EXPECT_EQ(frame->Graph().Window()->size(), QSize(221, 62));
    EXPECT_EQ(frame->Graph().Window()->position(), QPoint(1280 - 221, 1024 - 62));

    QStringList entries;
    for (QAction* action : frame->Tools().Menu()->actions()) {
        entries << (action->isSeparator() ? "-" : action->text());
    }
    EXPECT_EQ(entries.join(","), "Settings,Statistics,Timer,Capwarden,WebStats,Applications,-,Help,Exit");
}

TEST_F(MainFrameTest, SamplesOncePerGraphStepAndFeedsListHistoryAndTooltip) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    int samples = 0;
    QObject::connect(frame.get(), &CMainFrame::SampleTaken, [&] { ++samples; });

    frame->RunFrame();  // empty list: the first call samples (and meets every interface)
    EXPECT_EQ(samples, 1);
    for (int i = 0; i < 61; ++i) {
        source_.AddTraffic(1, 1000, 0);
        msClock_.Advance(10);
        frame->RunFrame();
    }
    EXPECT_EQ(samples, 1);
    frame->RunFrame();  // the 62nd call after a sample completes the step
    EXPECT_EQ(samples, 2);
    EXPECT_EQ(frame->Meter().Samples().Count(), 2);
    // 61000 bytes over 610 ms.
    EXPECT_NEAR(frame->Meter().DownloadRate(), 61000.0 / 1024.0 / 0.61, 1e-6);
    EXPECT_NEAR(frame->Meter().History().CurrentDay().downloaded, 61000.0 / 1048576.0, 1e-9);
    // The tooltip follows within 200 ms.
    msClock_.Advance(201);
    frame->RunFrame();
    EXPECT_EQ(frame->Desktop().TooltipText(), "Down: 97.7 KB/s\nUp: 0.0 KB/s");
}

// The tray's face follows the settings from one sample to the next, and the speeds face shows
// the speeds of the sample just taken.
TEST_F(MainFrameTest, TrayShowsTheFaceTheSettingsAskForAtEachSample) {
    struct Step {
        const char* name;
        TrayFace face;
        int bytesPerFrame;
        QString download;  // the speeds face's upper line; empty with the picture
    };
    const Step steps[] = {
        {"the picture face draws no speeds", TrayFace::Picture, 1000, ""},
        {"the speeds face shows the new sample's speed", TrayFace::Speeds, 1000, "\u200798K"},
        {"and follows the next sample", TrayFace::Speeds, 20000, "1.9M"},
        {"back to the picture", TrayFace::Picture, 20000, ""},
    };
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    CSystemTray* tray = frame->Desktop().Tray();
    ASSERT_NE(tray, nullptr);
    int samples = 0;
    QObject::connect(frame.get(), &CMainFrame::SampleTaken, [&] { ++samples; });
    frame->RunFrame();  // the first sample, with no speeds yet

    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        frame->Graph().Settings()->trayFace = step.face;
        const int before = samples;
        for (int i = 0; i < 62 && samples == before; ++i) {
            source_.AddTraffic(1, step.bytesPerFrame, 0);
            msClock_.Advance(10);
            frame->RunFrame();
        }
        ASSERT_EQ(samples, before + 1);
        EXPECT_EQ(tray->Face(), step.face);
        EXPECT_EQ(tray->DownloadText(), step.download);
        if (step.face == TrayFace::Speeds) {
            EXPECT_EQ(tray->UploadText(), "0.0K");
        }
    }
}

TEST_F(MainFrameTest, StatusTellsWhatTheGraphShowsNotASampleItNeverDrew) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    frame->RunFrame();
    for (int i = 0; i < 62; ++i) {
        source_.AddTraffic(1, 2048, 1024);
        msClock_.Advance(10);
        frame->RunFrame();
    }
    ASSERT_EQ(frame->Meter().Samples().Count(), 2);
    const MeterStatus shown = frame->Meter().Status();
    EXPECT_EQ(shown.sample, 2u);
    EXPECT_NEAR(shown.downloadRate, 61 * 2048.0 / 1024.0 / 0.61, 1e-6);
    EXPECT_NEAR(shown.uploadRate, 61 * 1024.0 / 1024.0 / 0.61, 1e-6);
    EXPECT_NEAR(shown.todayDownload, 62 * 2048.0 / 1048576.0, 1e-9);
    EXPECT_EQ(shown.sessionDownload, frame->Meter().History().SessionDownload());

    // A save samples once more for the history (a session's end may save and go on), but the
    // graph never shows that sample: the status keeps to the graph's speeds.
    source_.AddTraffic(1, 1048576, 0);
    msClock_.Advance(100);
    frame->Meter().SaveDataFiles();
    const MeterStatus saved = frame->Meter().Status();
    EXPECT_EQ(saved.sample, 2u);
    EXPECT_EQ(saved.downloadRate, shown.downloadRate);
    EXPECT_GT(saved.todayDownload, shown.todayDownload + 0.99);
}

// However far the graph has got into its step, the traffic up to the end is in the file.
class ShutdownTest : public MainFrameFixture, public ::testing::WithParamInterface<int> {};

TEST_P(ShutdownTest, SavesTheHistoryWithTheTrafficUpToTheEnd) {
    const int framesAfterTraffic = GetParam();
    {
        auto frame = MakeFrame();
        ASSERT_TRUE(frame);
        frame->RunFrame();  // the first sample sets the baseline
        source_.AddTraffic(1, 5 * 1048576, 1048576);
        msClock_.Advance(1000);
        for (int i = 0; i < framesAfterTraffic; ++i) {
            frame->RunFrame();
        }
    }
    std::string stats;
    ReadTextFile((dir_.Path() / "stats.dat").string(), stats);
    EXPECT_EQ(stats, "V1.0.0\n7 12 2026 1.000000 5.000000\n");
}

// 62 frames complete a step (and sample); 5 are part of one; 0 is a quit right after the
// traffic.
INSTANTIATE_TEST_SUITE_P(FramesAfterTraffic, ShutdownTest, ::testing::Values(62, 5, 0));

TEST_F(MainFrameTest, HiddenWindowSamplesAtTheSamePaceAndNeverSwaps) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    CGraphWindow* window = frame->Graph().Window();
    frame->Graph().View()->SetFrameDelay(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    // Other tests' graph windows open in the same corner; one wholly on top of ours would hide
    // it, and a hidden graph is not drawn.
    window->raise();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Graph().Seen(); }, 10000));
    int samples = 0;
    QObject::connect(frame.get(), &CMainFrame::SampleTaken, [&] { ++samples; });
    frame->RunFrame();  // the first frame samples the empty list

    struct Phase {
        int samples;
        std::uint64_t swaps;
    };
    // Three graph steps' worth of frames; any 62 frames in a row hold exactly one sampling frame,
    // wherever the phase starts.
    auto runPhase = [&](std::uint64_t bytesPerFrame) {
        const int samplesBefore = samples;
        const std::uint64_t swapsBefore = window->SwapCount();
        for (int i = 0; i < 3 * 62; ++i) {
            source_.AddTraffic(1, bytesPerFrame, 0);
            msClock_.Advance(11);
            frame->RunFrame();
        }
        return Phase{samples - samplesBefore, window->SwapCount() - swapsBefore};
    };

    const Phase shown = runPhase(1000);
    EXPECT_EQ(shown.samples, 3);
    // A frame for each quarter pixel of scroll (in the first step the one sample there is draws
    // no series: its picture is shown once and then kept).
    EXPECT_GE(shown.swaps, 1u + 2u * 61u / 6u);
    EXPECT_LE(shown.swaps, 3u + 2u * 61u / 5u);
    const std::string shownTip = frame->Desktop().TooltipText();
    const double shownTotal = frame->Meter().History().CurrentDay().downloaded;

    window->hide();  // as hiding into the tray does
    QTRY_VERIFY(!window->isExposed());
    window->Context()->doneCurrent();
    const Phase hidden = runPhase(5000);
    EXPECT_EQ(hidden.samples, 3);
    EXPECT_EQ(hidden.swaps, 0u);
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);  // not even made current
    // Every consumer of the samples goes on as before.
    EXPECT_NE(frame->Desktop().TooltipText(), shownTip);
    EXPECT_EQ(frame->Meter().Samples().Count(), samples);
    EXPECT_GT(frame->Meter().History().CurrentDay().downloaded, shownTotal);

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    // Other tests' graph windows open in the same corner; one wholly on top of ours would hide
    // it, and a hidden graph is not drawn.
    window->raise();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Graph().Seen(); }, 10000));
    const Phase again = runPhase(1000);
    EXPECT_EQ(again.samples, 3);
    EXPECT_GE(again.swaps, 3u * 61u / 6u);
    EXPECT_LE(again.swaps, 3u + 3u * 61u / 5u);
}

TEST_F(MainFrameTest, TimerOpensOnceRefreshesEvery51FramesAndClosesWithTheFrame) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    frame->RunFrame();
    QCoreApplication::processEvents();  // no paint-driven frame left waiting

    frame->Tools().OpenTimer();
    QPointer<TimerWindow> timer = frame->Tools().Timer();
    ASSERT_FALSE(timer.isNull());
    frame->Tools().OpenTimer();
    EXPECT_EQ(frame->Tools().Timer(), timer.data());  // a second command shows the same window
    const auto Field = [&](const char* name) {
        return frame->Tools().Timer()->findChild<QLineEdit*>(name)->text();
    };
    frame->Tools().Timer()->findChild<QAbstractButton*>("startButton")->click();
    EXPECT_EQ(Field("stateEdit"), "Running");

    // One second per frame: the running time shown tells when the window was refreshed.
    const std::uint64_t opened = frame->FrameCount();
    std::vector<std::pair<std::uint64_t, QString>> refreshes;
    for (int i = 0; i < 130; ++i) {
        msClock_.Advance(1000);
        frame->RunFrame();
        if (refreshes.empty() || refreshes.back().second != Field("elapsedEdit")) {
            refreshes.emplace_back(frame->FrameCount() - opened, Field("elapsedEdit"));
        }
    }
    EXPECT_EQ(refreshes,
              (std::vector<std::pair<std::uint64_t, QString>>{
                  {1, "00:00:00"}, {26, "00:00:26"}, {77, "00:01:17"}, {128, "00:02:08"}}));

    // Closing ends the measurement: the next window starts from zero.
    timer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(timer.isNull());
    frame->RunFrame();  // nothing to refresh
    frame->Tools().OpenTimer();
    EXPECT_EQ(Field("stateEdit"), "Stopped");
    EXPECT_EQ(Field("elapsedEdit"), "00:00:00");

    // Shutdown closes it, after the history is saved.
    timer = frame->Tools().Timer();
    frame.reset();
    EXPECT_TRUE(timer.isNull());
    EXPECT_TRUE(std::filesystem::exists(dir_.Path() / "stats.dat"));
}

TEST(TrafficApp, GraphKeepsMovingWhileTheMenuIsOpen) {
    TempDir dir;
    const ScopedEnv dataDir("TALLYGLASS_DATA_DIR", dir.Str().c_str());
    CTrafficApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    // A count, not a rate: a loaded machine may be slow, but a stopped graph never gets there.
    constexpr std::uint64_t kFramesWanted = 60;
    std::uint64_t opened = 0;
    std::uint64_t closed = 0;
    QTimer::singleShot(300, [&] {
        const QDeadlineTimer deadline(30000);
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (frame->FrameCount() - opened >= kFramesWanted || deadline.hasExpired()) {
                closed = frame->FrameCount();
                frame->Tools().Menu()->close();
            }
        });
        watch.start(20);
        opened = frame->FrameCount();
        frame->Tools().Menu()->exec(
            QPoint(100, 100));  // a nested event loop, as a menu or a drag runs
        QCoreApplication::quit();
    });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_GE(closed - opened, kFramesWanted);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "stats.dat"));
}

// What waits for a frame (settings just applied, a quota whose warning the graph does not show
// yet) has the loop work the very next frame instead of sleeping until the next sample.
TEST_F(MainFrameTest, WorkWaitingForAFrameIsDoneAtTheNextFrame) {
    ASSERT_TRUE(WriteQuotaFile(CDataFolder(dir_.Str(), dir_.Str()), ActiveTotalQuota(100, 50)));
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    frame->Graph().Window()->hide();  // nothing to show: only the samples set the pace
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->Graph().Window()->isExposed(); }));
    frame->RunFrame();
    msClock_.Advance(250);
    frame->RunFrame();  // the first sample and the tooltip done: the next sample is far off
    CFrameTimeline timeline(CFramePacer::PeriodForRate(90));
    timeline.Start(CFrameTimeline::Clock::time_point(std::chrono::milliseconds(msClock_.NowMs())));
    timeline.SetFrameLength(std::chrono::milliseconds(12));
    EXPECT_GT(frame->FramesUntilNeeded(timeline), 50);

    frame->Graph().Settings()->MarkChanged();  // as Apply in the settings window does
    EXPECT_EQ(frame->FramesUntilNeeded(timeline), 0);
    frame->RunFrame();
    EXPECT_GT(frame->FramesUntilNeeded(timeline), 50);

    frame->Meter().Quota().SetAllowedTotal(10.0);  // now past its limit, as Capwarden's Apply may
    EXPECT_EQ(frame->FramesUntilNeeded(timeline), 0);
    frame->RunFrame();
    EXPECT_TRUE(frame->Graph().View()->QuotaWarning());
    // The tooltip's quota line waits for the tooltip's next turn, 200 ms on, and no longer.
    const int untilTooltip = frame->FramesUntilNeeded(timeline);
    EXPECT_GT(untilTooltip, 0);
    EXPECT_LT(untilTooltip, 50);
    msClock_.Advance(201);
    frame->RunFrame();
    EXPECT_NE(frame->Desktop().TooltipText().find("\nQuota: 500% used"), std::string::npos)
        << frame->Desktop().TooltipText();
}

// The tooltip's text, with the quota's projection, is built once per wake-up: the run loop's
// question right after the frame that built it takes that one, while every other question
// builds it afresh and so sees what changed outside the frames.
TEST_F(MainFrameTest, TooltipIsBuiltOncePerWakeUpAndChangesBetweenFramesAreSeen) {
    struct Step {
        const char* name;
        std::function<void(CMainFrame&)> before;  // what happens ahead of the question
        int builds;                               // of the tip's text, by the step
        bool tipDueSoon;                          // the loop wakes for the tip's next turn
    };
    const auto tipTurn = [this](CMainFrame& frame) {
        msClock_.Advance(201);
        frame.RunFrame();
    };
    const auto noTurn = [](CMainFrame& frame) { frame.RunFrame(); };
    const auto nothing = [](CMainFrame&) {};
    const Step steps[] = {
        {"the frame builds the tip, the question takes it", tipTurn, 1, false},
        {"a second question builds it afresh", nothing, 1, false},
        {"a quota change outside a frame is seen",
         [](CMainFrame& frame) { frame.Meter().Quota().SetAllowedTotal(80.0); }, 1, true},
        {"a frame within the tip's pause leaves it to the question", noTurn, 1, true},
        {"the tip's turn shows the change and the question takes it", tipTurn, 1, false},
    };
    ASSERT_TRUE(WriteQuotaFile(CDataFolder(dir_.Str(), dir_.Str()), ActiveTotalQuota(100, 50)));
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    frame->Graph().Window()->hide();  // nothing to show: only the samples and the tip set the pace
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->Graph().Window()->isExposed(); }));
    frame->RunFrame();

    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const int before = frame->Desktop().TooltipBuilds();
        step.before(*frame);
        CFrameTimeline timeline(CFramePacer::PeriodForRate(90));
        timeline.Start(
            CFrameTimeline::Clock::time_point(std::chrono::milliseconds(msClock_.NowMs())));
        timeline.SetFrameLength(std::chrono::milliseconds(12));
        const int frames = frame->FramesUntilNeeded(timeline);
        EXPECT_EQ(frame->Desktop().TooltipBuilds() - before, step.builds);
        EXPECT_EQ(frames < 50, step.tipDueSoon) << frames;
    }
    EXPECT_NE(frame->Desktop().TooltipText().find("\nQuota: 62% used"), std::string::npos)
        << frame->Desktop().TooltipText();
}

}  // namespace
