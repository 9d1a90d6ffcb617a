#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "FakeClocks.h"
#include "FakeInterfaceSource.h"
#include "TempDir.h"
#include "app/CMainFrame.h"
#include "appearance/CSettings.h"
#include "runloop/CFrameClock.h"
#include "sampling/CTrafficSampler.h"

// The main frame with its real window on the X server, fed by a scripted interface ("eth0",
// index 1, 64-bit counters), hand-moved clocks and a temporary data folder.
struct MainFrameRig {
    MainFrameRig() : source_(64), sampler_(source_, msClock_) { source_.AddAdapter(1, "eth0"); }

    // A created frame, or null when the window could not be made.
    std::unique_ptr<CMainFrame> MakeFrame() {
        CMainFrame::Services services{msClock_,  localClock_, zone_,
                                      utcClock_, sampler_,    frameClock_};
        auto frame = std::make_unique<CMainFrame>(services, CDataFolder(dir_.Str(), dir_.Str()));
        return frame->Create() ? std::move(frame) : nullptr;
    }

    // The settings file a run leaves that ended with the window hidden in the tray.
    void SaveHiddenInTray() {
        auto frame = MakeFrame();
        ASSERT_TRUE(frame);
        frame->Graph().Settings()->hiddenInTray = true;
        ASSERT_TRUE(frame->Graph().Settings()->Save());
    }

    TempDir dir_;
    FakeMsClock msClock_{1000};
    CFrameClock frameClock_{1000};
    FakeLocalClock localClock_;
    FakeLocalZone zone_;
    FakeUtcClock utcClock_{1796637600};  // the local clock's moment, in UTC
    FakeInterfaceSource source_;
    CTrafficSampler sampler_;
};

class MainFrameFixture : public ::testing::Test, protected MainFrameRig {};
