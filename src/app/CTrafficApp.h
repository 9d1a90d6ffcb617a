#pragma once

#include <QObject>
#include <QTimer>

#include <memory>
#include <string>

#include "app/CFramePacer.h"
#include "app/CFrameRateMeter.h"
#include "app/CInstanceChannel.h"
#include "app/CSignalBridge.h"
#include "platform/Folders.h"
#include "platform/LinuxInterfaceSource.h"
#include "platform/LocalClock.h"
#include "platform/MsClock.h"
#include "sampling/CTrafficSampler.h"

class CMainFrame;

// The process: its long-lived services, the main frame, and the frame pacing.
//
// Frames are paced by a single-shot precise timer re-armed to the next absolute frame boundary:
// the event loop sleeps until that boundary or the next event, and the timer keeps firing inside
// nested loops (menus, window moves, message boxes), so the graph never stops.
class CTrafficApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kFramesPerSecond = 90;

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
    void OnFrameTimer();
    void ArmTimer();
    void Shutdown();

    std::string dataFolder_;
    SteadyMsClock msClock_;
    SystemLocalClock localClock_;
    LinuxInterfaceSource interfaces_;
    CTrafficSampler sampler_;
    CFrameRateMeter frameRate_;
    std::unique_ptr<CMainFrame> frame_;

    CFramePacer pacer_;
    QTimer frameTimer_;
    CSignalBridge signals_;
    CInstanceChannel channel_;
};
