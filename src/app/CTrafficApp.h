#pragma once

#include <QObject>

#include <memory>
#include <string>

#include "app/CSignalBridge.h"
#include "channel/CInstanceChannel.h"
#include "platform/CTranslations.h"
#include "platform/Folders.h"
#include "platform/LinuxInterfaceSource.h"
#include "platform/LocalClock.h"
#include "platform/LocalZone.h"
#include "platform/MsClock.h"
#include "platform/UtcClock.h"
#include "runloop/CFrameClock.h"
#include "runloop/CFrameLoop.h"
#include "runloop/CLoopWaker.h"
#include "sampling/CTrafficSampler.h"

class CMainFrame;

// The process: its long-lived services, the main frame, and the run loop (CFrameLoop) over it,
// woken from the event loop by CLoopWaker.
class CTrafficApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kFramesPerSecond = 90;
    // What a frame adds to its frame delay on the timeline: a frame that drew and showed itself
    // cost this much on software GL, and with it the graph scrolls and samples at the pace it
    // always had (about 85 frames a second at the usual 10 ms delay, as measured).
    static constexpr std::chrono::microseconds kFrameCost{1700};

    // `dataFolder` as ResolveDataFolder gives it.
    explicit CTrafficApp(std::string dataFolder = ResolveDataFolder());
    ~CTrafficApp() override;

    // Lets later starts on the same data folder show this meter's window instead of running a
    // second one. Only the holder of the folder's instance lock may call it.
    bool ListenForLaterStarts();
    // Builds the main frame; false when it could not be created (it has said why).
    bool InitInstance();
    // Runs the event loop and the frames until quit; then shuts down in order.
    int Run();

    CMainFrame* MainFrame() { return frame_.get(); }

private:
    void Shutdown();

    CTranslations translations_;  // first: every text after it is in the user's language
    std::string dataFolder_;
    SteadyMsClock msClock_;
    CFrameClock frameClock_;
    SystemLocalClock localClock_;
    SystemLocalZone zone_;
    SystemUtcClock utcClock_;
    LinuxInterfaceSource interfaces_;
    CTrafficSampler sampler_;
    std::unique_ptr<CMainFrame> frame_;

    std::unique_ptr<CFrameLoop> loop_;
    std::unique_ptr<CLoopWaker> waker_;
    CSignalBridge signals_;
    CInstanceChannel channel_;
};
