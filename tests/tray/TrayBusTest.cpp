// The tray icon against a real StatusNotifierItem peer: a watcher of the test's own on a private
// session bus, as a desktop's tray host would run it. The main frame is fed scripted traffic.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStyleHints>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include "MainFrameFixture.h"
#include "TrayTestSupport.h"
#include "app/CMainFrame.h"
#include "app/CTrafficApp.h"
#include "appearance/CSettings.h"
#include "graphgl/CGraphWindow.h"
#include "persistence/CInstanceLock.h"
#include "tray/CSystemTray.h"
#include "tray/CTrayHiding.h"

namespace {

constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";

// Green pixels in the left (download) and right (upload) halves of each picture.
struct GreenHalves {
    bool valid = false;
    bool left = false;
    bool right = false;
    bool operator==(const GreenHalves&) const = default;
};

GreenHalves Greens(const QList<QImage>& pictures) {
    GreenHalves result;
    result.valid = !pictures.isEmpty();
    bool first = true;
    for (const QImage& picture : pictures) {
        if (picture.isNull()) {
            return {};
        }
        bool left = false;
        bool right = false;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y);
                if (qAlpha(p) > 128 && qGreen(p) > 100 && qGreen(p) > qRed(p) + 50 &&
                    qGreen(p) > qBlue(p) + 50) {
                    (x < picture.width() / 2 ? left : right) = true;
                }
            }
        }
        // Every size must tell the same story.
        if (!first && (left != result.left || right != result.right)) {
            return {};
        }
        result.left = left;
        result.right = right;
        first = false;
    }
    return result;
}

class TrayBusTest : public MainFrameFixture {
protected:
    void SetUp() override { ASSERT_NE(TestWatcher(), nullptr); }

    QVariant Property(const QString& name) { return ItemProperty(service_, name); }

    QString TooltipTitle() {
        const QVariant value = Property("ToolTip");
        if (!value.canConvert<QDBusArgument>()) {
            return "<none>";
        }
        const QDBusArgument argument = value.value<QDBusArgument>();
        QString iconName, title, description;
        argument.beginStructure();
        argument >> iconName;
        ReadItemPictures(argument);
        argument >> title >> description;
        argument.endStructure();
        return title;
    }

    GreenHalves Picture() { return Greens(ItemPictures(service_)); }

    bool Activate() {
        QDBusMessage call =
            QDBusMessage::createMethodCall(service_, kItemPath, kItemInterface, "Activate");
        call << 10 << 10;
        return CallAndWait(call).type() == QDBusMessage::ReplyMessage;
    }

    // One sample per graph step: run frames until the next one is taken.
    void SampleWith(CMainFrame& frame, std::uint64_t in, std::uint64_t out) {
        int samples = 0;
        auto connection = QObject::connect(&frame, &CMainFrame::SampleTaken, [&] { ++samples; });
        for (int i = 0; i < 200 && samples == 0; ++i) {
            source_.AddTraffic(1, in, out);
            msClock_.Advance(10);
            frame.RunFrame();
        }
        QObject::disconnect(connection);
        msClock_.Advance(201);  // and the tooltip follows
        frame.RunFrame();
    }

    // The tray's first answers from the bus come in while events are served.
    static bool WaitForTrayState(CMainFrame& frame) {
        return QTest::qWaitFor([&] { return frame.Desktop().Tray()->IsTrayStateKnown(); });
    }

    void WaitPastDoubleClick() {
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    }

    QString service_;
};

TEST_F(TrayBusTest, ItemRegistersAndItsTooltipAndPictureFollowTraffic) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(WaitForTrayState(*frame));
    EXPECT_EQ(frame->Desktop().Tray()->HostKind(), CTrayActivation::Host::StatusNotifier);
    EXPECT_TRUE(frame->Desktop().Tray()->TrayAvailable());
    ASSERT_TRUE(TestWatcher()->WaitForItem(service_));

    EXPECT_EQ(TooltipTitle(), "HEllo there");
    EXPECT_EQ(Picture(), (GreenHalves{true, false, false}));

    frame->RunFrame();  // the first sample meets the interface
    SampleWith(*frame, 32768, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Picture() == GreenHalves{true, true, false}; }));
    EXPECT_EQ(TooltipTitle(), QString::fromStdString(frame->Desktop().TooltipText()));
    EXPECT_TRUE(TooltipTitle().startsWith("Down: ")) << TooltipTitle().toStdString();

    SampleWith(*frame, 0, 32768);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Picture() == GreenHalves{true, false, true}; }));
    SampleWith(*frame, 32768, 32768);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Picture() == GreenHalves{true, true, true}; }));
    EXPECT_EQ(TooltipTitle(), QString::fromStdString(frame->Desktop().TooltipText()));

    // A tooltip set again unchanged sends nothing: of three settings, two signals arrive, and the
    // last one's text is the tooltip.
    SignalCounter counter;
    ASSERT_TRUE(QDBusConnection::sessionBus().connect(service_, kItemPath, kItemInterface,
                                                      "NewToolTip", &counter, SLOT(Count())));
    frame->Desktop().Tray()->SetTip("Down: 1.0 KB/s\nUp: 1.0 KB/s");
    frame->Desktop().Tray()->SetTip("Down: 1.0 KB/s\nUp: 1.0 KB/s");
    frame->Desktop().Tray()->SetTip("Down: 2.0 KB/s\nUp: 1.0 KB/s");
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.count >= 2; }));
    EXPECT_EQ(TooltipTitle(), "Down: 2.0 KB/s\nUp: 1.0 KB/s");
    EXPECT_EQ(counter.count, 2);
}

TEST_F(TrayBusTest, ActivateHidesTheWindowAndBringsItBack) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(TestWatcher()->WaitForItem(service_));
    ASSERT_TRUE(WaitForTrayState(*frame));  // until then hiding is refused: no tray known
    CGraphWindow* window = frame->Graph().Window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    ASSERT_TRUE(Activate());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
    EXPECT_TRUE(frame->Graph().Settings()->hiddenInTray);
    // Frames go on while hidden: sampling is tied to them.
    const std::uint64_t frames = frame->FrameCount();
    frame->RunFrame();
    EXPECT_EQ(frame->FrameCount(), frames + 1);

    WaitPastDoubleClick();
    ASSERT_TRUE(Activate());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_FALSE(frame->Graph().Settings()->hiddenInTray);

    // A double click on the graph window toggles the same way.
    emit window->ToggleRequested();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(frame->Graph().Settings()->hiddenInTray);
    WaitPastDoubleClick();
    ASSERT_TRUE(Activate());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_FALSE(frame->Graph().Settings()->hiddenInTray);
}

TEST_F(TrayBusTest, RestartedWatcherGetsTheItemAgainWithItsCurrentState) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(TestWatcher()->WaitForItem(service_));
    frame->RunFrame();
    SampleWith(*frame, 0, 32768);
    const QString tip = QString::fromStdString(frame->Desktop().TooltipText());
    ASSERT_TRUE(QTest::qWaitFor([&] { return TooltipTitle() == tip; }));

    TestWatcher()->Stop();
    ASSERT_TRUE(TestWatcher()->Start());
    QString again;
    ASSERT_TRUE(TestWatcher()->WaitForItem(again));
    EXPECT_EQ(again, service_);
    EXPECT_EQ(TooltipTitle(), tip);
    EXPECT_EQ(Picture(), (GreenHalves{true, false, true}));
    EXPECT_EQ(frame->Desktop().Tray()->IconId(), 120);

    // A watcher with no panel drawing the items: the icon is nowhere to be seen, so the window
    // stays.
    TestWatcher()->Stop();
    ASSERT_TRUE(TestWatcher()->Start({"--no-host"}));
    ASSERT_TRUE(TestWatcher()->WaitForItem(again));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->Desktop().Tray()->TrayAvailable(); }));
    ASSERT_TRUE(Activate());
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->Graph().Window()->isVisible());
    EXPECT_FALSE(frame->Graph().Settings()->hiddenInTray);
    TestWatcher()->Stop();
    ASSERT_TRUE(TestWatcher()->Start());
}

TEST_F(TrayBusTest, SavedFlagStartsHiddenAndATrayGoneForGoodGivesTheWindowBack) {
    ASSERT_NO_FATAL_FAILURE(SaveHiddenInTray());
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(TestWatcher()->WaitForItem(service_));
    ASSERT_TRUE(WaitForTrayState(*frame));
    EXPECT_TRUE(frame->Graph().Settings()->hiddenInTray);
    EXPECT_FALSE(frame->Graph().Window()->isVisible());
    frame->RunFrame();  // frames run while hidden, and the first one sizes the window
    SampleWith(*frame, 32768, 0);
    EXPECT_EQ(frame->Desktop().Tray()->IconId(), 121);

    TestWatcher()->Stop();
    const int grace = CTrayHiding::kMissesBeforeRescue * CSystemTray::kTrayCheckMs;
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame->Graph().Window(), grace + 3000));
    EXPECT_FALSE(frame->Graph().Settings()->hiddenInTray);
    EXPECT_EQ(frame->Graph().Window()->size(), QSize(221, 62));
    // No tray now: hiding is refused.
    emit frame->Graph().Window()->ToggleRequested();
    EXPECT_TRUE(frame->Graph().Window()->isVisible());
    EXPECT_FALSE(frame->Graph().Settings()->hiddenInTray);
    ASSERT_TRUE(TestWatcher()->Start());
}

// A tray host that takes calls and never answers them (stopped here with SIGSTOP) must not stop
// the graph: no call waits for it, so the event loop never stalls, and when the host goes away
// for good the hidden window comes back.
TEST_F(TrayBusTest, AHungTrayHostNeverStopsTheGraph) {
    CTrafficApp app(dir_.Str());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    ASSERT_TRUE(WaitForTrayState(*frame));
    ASSERT_TRUE(frame->Desktop().Tray()->TrayAvailable());
    frame->Desktop().ToggleHiddenInTray();
    ASSERT_FALSE(frame->Graph().Window()->isVisible());
    TestWatcher()->Freeze();

    // Long enough for several periodic looks at the tray and for one look to time out.
    constexpr int kHungMs = 3 * CSystemTray::kTrayCheckMs + CSystemTray::kHostQueryTimeoutMs;
    constexpr int kComeBackMs = CTrayHiding::kMissesBeforeRescue * CSystemTray::kTrayCheckMs;
    QElapsedTimer clock;
    qint64 lastBeat = 0;
    qint64 longestStall = 0;
    QTimer beat;  // a stalled event loop shows as a long gap between beats
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, clock.elapsed() - lastBeat);
        lastBeat = clock.elapsed();
    });
    std::uint64_t framesBefore = 0;
    std::uint64_t framesWhileHung = 0;
    bool cameBack = false;
    bool hiddenWhenBack = true;  // read while the frame exists: Run() ends by deleting it
    QTimer::singleShot(0, [&] {
        clock.start();
        beat.start(10);
        framesBefore = frame->FrameCount();
        QTimer::singleShot(kHungMs, [&] {
            beat.stop();
            framesWhileHung = frame->FrameCount() - framesBefore;
            TestWatcher()->Stop();  // the host is gone now
            QTimer::singleShot(kComeBackMs + 10000, qApp, &QCoreApplication::quit);
        });
    });
    QObject::connect(frame->Graph().Window(), &QWindow::visibleChanged, [&](bool visible) {
        if (visible && framesWhileHung > 0) {
            cameBack = true;
            hiddenWhenBack = frame->Graph().Settings()->hiddenInTray;
            QCoreApplication::quit();
        }
    });
    app.Run();

    // Blocking calls would stall the loop for their whole time-out at every look. A loaded
    // machine may be slow, but not for a second.
    EXPECT_LT(longestStall, 1000);
    // About 60 frames a second here (each frame sleeps its frame delay); a third of that is
    // plenty.
    EXPECT_GT(framesWhileHung, static_cast<std::uint64_t>(kHungMs / 1000 * 20));
    EXPECT_TRUE(cameBack);
    EXPECT_FALSE(hiddenWhenBack);
    ASSERT_TRUE(TestWatcher()->Start());
}

// A second start on the same data folder ends at once and brings the running meter's window
// out of the tray.
TEST_F(TrayBusTest, ASecondStartShowsTheRunningMetersWindow) {
    CInstanceLock lock;  // what the program takes first
    ASSERT_EQ(lock.Acquire(dir_.Str()), CInstanceLock::Result::Acquired);
    CTrafficApp app(dir_.Str());
    ASSERT_TRUE(app.ListenForLaterStarts());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    ASSERT_TRUE(WaitForTrayState(*frame));
    frame->Desktop().ToggleHiddenInTray();
    ASSERT_FALSE(frame->Graph().Window()->isVisible());

    QProcess second;
    second.start(TALLYGLASS_PROGRAM, {"--data-dir", dir_.Str().c_str()});
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QString said = QString::fromLocal8Bit(second.readAllStandardError());
    EXPECT_EQ(said.count('\n'), 1) << said.toStdString();
    EXPECT_TRUE(said.contains("already running")) << said.toStdString();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame->Graph().Window()));
    EXPECT_FALSE(frame->Graph().Settings()->hiddenInTray);
}

}  // namespace
