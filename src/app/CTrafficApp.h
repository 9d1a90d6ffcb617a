#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

#include "app/CFramePacer.h"
#include "app/CFrameRateMeter.h"
#include "app/CSignalBridge.h"
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

    CTrafficApp();
    ~CTrafficApp() override;

    // Builds the main frame; false when it could not be created (it has said why).
    bool InitInstance();
    // Runs the event loop and the frames until quit; then shuts down in order.
    int Run();

    CMainFrame* MainFrame() { return frame_.get(); }

private:
    void OnFrameTimer();
    void ArmTimer();
    void Shutdown();

    SteadyMsClock msClock_;
    SystemLocalClock localClock_;
    LinuxInterfaceSource interfaces_;
    CTrafficSampler sampler_;
    CFrameRateMeter frameRate_;
    std::unique_ptr<CMainFrame> frame_;

    CFramePacer pacer_;
    QTimer frameTimer_;
    CSignalBridge signals_;
};
