// The quota against the real graph window on the X server: the warning picture shows while the
// quota is past its limit, blinks, and goes when the quota is switched off in its window.
#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "MainFrameFixture.h"
#include "QuotaTestSupport.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CGraphWindow.h"
#include "quota/CTrafficQuota.h"
#include "quota/CapwardenWindow.h"

namespace {

class QuotaGraphTest : public MainFrameFixture {
protected:
    // A frame shown on the screen, over a data folder with this quota.
    std::unique_ptr<CMainFrame> Start(double limit, double downloaded) {
        if (!WriteQuotaFile(CDataFolder(dir_.Str(), dir_.Str()),
                            ActiveTotalQuota(limit, downloaded))) {
            return nullptr;
        }
        // The data folder is the program folder too: the warning picture goes beside the files.
        std::filesystem::create_directories(dir_.Path() / "gfx");
        std::filesystem::copy_file(TALLYGLASS_WARNING_BMP, dir_.Path() / "gfx" / "warning.bmp");
        auto frame = MakeFrame();
        if (!frame || !QTest::qWaitForWindowExposed(frame->Graph().Window())) {
            return nullptr;
        }
        frame->Graph().View()->SetFrameDelay(0);  // the test moves the clock; nothing to wait for
        return frame;
    }

    // The share of the window's pixels, as the X server shows them, in the warning's amber.
    double AmberShare(CMainFrame& frame) {
        CGraphWindow* window = frame.Graph().Window();
        // Other tests show their windows on the same X server, often in the same corner: a
        // covered part of ours would read as whatever covers it. The frame that the exposure
        // asks for draws the uncovered part again before the next look.
        window->raise();
        const QImage image = window->screen()
                                 ->grabWindow(window->winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        if (image.isNull() || image.width() * image.height() == 0) {
            return -1.0;
        }
        int amber = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                amber += c.red() > 200 && c.green() > 120 && c.blue() < 80;
            }
        }
        return static_cast<double>(amber) / (image.width() * image.height());
    }

    // Runs frames 10 ms apart (by the program's clock) until `done`, for at most `ms`.
    template <typename Done>
    bool RunFramesUntil(CMainFrame& frame, Done done, std::uint32_t ms) {
        for (std::uint32_t elapsed = 0; elapsed <= ms; elapsed += 10) {
            frame.RunFrame();
            if (done()) {
                return true;
            }
            msClock_.Advance(10);
        }
        return false;
    }

    // Waits until what the X server shows agrees with `warning`.
    bool ShownOnScreen(CMainFrame& frame, bool warning) {
        return QTest::qWaitFor(
            [&] {
                const double share = AmberShare(frame);
                return warning ? share > 0.5 : share >= 0.0 && share < 0.01;
            },
            10000);
    }
};

TEST_F(QuotaGraphTest, AQuotaPastItsLimitBlinksTheWarningUntilItIsSwitchedOff) {
    auto frame = Start(100.0, 150.0);
    ASSERT_TRUE(frame);
    CGraphView& view = *frame->Graph().View();

    // Within two seconds the picture covers the graph, and then takes turns with it.
    ASSERT_TRUE(RunFramesUntil(
        *frame, [&] { return view.WarningPhase(); }, 2000));
    EXPECT_TRUE(ShownOnScreen(*frame, true));
    ASSERT_TRUE(RunFramesUntil(
        *frame, [&] { return !view.WarningPhase(); }, 2500));
    EXPECT_TRUE(ShownOnScreen(*frame, false));
    ASSERT_TRUE(RunFramesUntil(
        *frame, [&] { return view.WarningPhase(); }, 2500));

    // Switched off in the Capwarden window while the picture shows: the graph comes back at
    // the next frame and stays.
    frame->Tools().OpenCapwarden();
    CapwardenWindow* window = frame->Tools().Capwarden();
    ASSERT_NE(window, nullptr);
    frame->Tools().OpenCapwarden();
    EXPECT_EQ(frame->Tools().Capwarden(), window);  // opened once
    window->findChild<QCheckBox*>("activateCheck")->click();
    window->findChild<QPushButton*>("okButton")->click();
    frame->RunFrame();
    EXPECT_FALSE(view.QuotaWarning());
    EXPECT_FALSE(view.WarningPhase());
    EXPECT_FALSE(RunFramesUntil(
        *frame, [&] { return view.WarningPhase(); }, 5000));
    EXPECT_TRUE(ShownOnScreen(*frame, false));
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->Tools().Capwarden() == nullptr; }, 10000));
}

TEST_F(QuotaGraphTest, TrafficThatPassesTheLimitRaisesTheWarning) {
    auto frame = Start(1.0, 0.5);
    ASSERT_TRUE(frame);
    CGraphView& view = *frame->Graph().View();
    frame->RunFrame();  // the first sample meets the interface
    EXPECT_FALSE(RunFramesUntil(
        *frame, [&] { return view.QuotaWarning(); }, 3000));

    source_.AddTraffic(1, 600 * 1024, 0);  // 0.5 MB + 600 KB: past 1 MB
    // The quota counts every third sample, a graph step (62 frames) apart.
    ASSERT_TRUE(RunFramesUntil(
        *frame, [&] { return view.WarningPhase(); }, 4 * 62 * 10));
    EXPECT_TRUE(frame->Meter().Quota().IsExceeded());
    EXPECT_TRUE(ShownOnScreen(*frame, true));
}

}  // namespace
