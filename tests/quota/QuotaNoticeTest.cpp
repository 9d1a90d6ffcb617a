// The quota's notification, as the desktop's notification service receives it: a tray watcher
// and an org.freedesktop.Notifications peer of the test's own on a private session bus.
#include <QTest>

#include <gtest/gtest.h>

#include "MainFrameFixture.h"
#include "QuotaTestSupport.h"
#include "TrayTestSupport.h"
#include "app/CMainFrame.h"
#include "graphgl/CGraphView.h"
#include "quota/CTrafficQuota.h"
#include "tray/CSystemTray.h"

namespace {

class QuotaNoticeTest : public MainFrameFixture {
protected:
    void SetUp() override {
        ASSERT_NE(TestWatcher(), nullptr);
        ASSERT_TRUE(notifications_.Start());
        ASSERT_TRUE(
            WriteQuotaFile(CDataFolder(dir_.Str(), dir_.Str()), ActiveTotalQuota(1.0, 0.75)));
    }

    std::unique_ptr<CMainFrame> Start() {
        auto frame = MakeFrame();
        QString service;
        if (!frame || !TestWatcher()->WaitForItem(service)) {
            return nullptr;
        }
        frame->Graph().View()->SetFrameDelay(0);  // the test moves the clock; nothing to wait for
        frame->RunFrame();                        // the first sample meets the interface
        return frame;
    }

    // `count` samples, with `bytes` downloaded before each. The quota counts every third.
    void Samples(CMainFrame& frame, int count, std::uint64_t bytes) {
        int taken = 0;
        auto connection = QObject::connect(&frame, &CMainFrame::SampleTaken, [&] { ++taken; });
        for (int sample = 0; sample < count; ++sample) {
            source_.AddTraffic(1, bytes, 0);
            for (int i = 0; i < 200 && taken == sample; ++i) {
                msClock_.Advance(10);
                frame.RunFrame();
            }
        }
        QObject::disconnect(connection);
        ASSERT_EQ(taken, count);
    }

    // The next notification the service receives, as "SUMMARY|BODY".
    std::string NextNotice() {
        QString line;
        return notifications_.WaitForLine("notify ", line, 10000) ? line.mid(7).toStdString()
                                                                  : "<none>";
    }

    // Proves that nothing was sent before now: notifications from one sender arrive in order,
    // so the next one received must be this marker.
    void ExpectNoNoticeSoFar(CMainFrame& frame) {
        ASSERT_TRUE(frame.Desktop().Tray()->ShowMessage("marker", "-"));
        EXPECT_EQ(NextNotice(), "marker|-");
    }

    WatcherProcess notifications_{TALLYGLASS_NOTIFICATIONS_PEER};
};

TEST_F(QuotaNoticeTest, HeadingPastTheLimitAndPassingItAreToldOncePerPeriodAndNotAfterARestart) {
    auto frame = Start();
    ASSERT_TRUE(frame);
    Samples(*frame, 3, 50 * 1024);  // 0.75 MB + 150 KB: still within 1 MB
    ASSERT_FALSE(frame->Meter().Quota().IsExceeded());
    // But today's pace takes the period past it: told ahead, once.
    const std::string ahead = NextNotice();
    EXPECT_TRUE(
        ahead.starts_with("Capwarden|At this pace, total traffic passes its limit of 1 MB around "))
        << ahead;
    ExpectNoNoticeSoFar(*frame);

    Samples(*frame, 3, 50 * 1024);
    ASSERT_TRUE(frame->Meter().Quota().IsExceeded());
    EXPECT_EQ(NextNotice(), "Capwarden|Total traffic has passed its limit of 1 MB: 1.0 MB used.");
    Samples(*frame, 9, 100 * 1024);  // further past it
    ExpectNoNoticeSoFar(*frame);

    // The next run starts past the limit: nothing new to tell.
    frame.reset();
    frame = Start();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(frame->Meter().Quota().IsExceeded());
    Samples(*frame, 6, 100 * 1024);
    ExpectNoNoticeSoFar(*frame);

    // A new period, passed again: told again.
    localClock_.SetDate({1, 1, 2027});
    Samples(*frame, 3, 0);
    ASSERT_FALSE(frame->Meter().Quota().IsExceeded());
    Samples(*frame, 12, 100 * 1024);
    ASSERT_TRUE(frame->Meter().Quota().IsExceeded());
    EXPECT_EQ(NextNotice().substr(0, 52), "Capwarden|Total traffic has passed its limit of 1 MB");
}

}  // namespace
