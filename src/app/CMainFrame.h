#pragma once

#include <QObject>

#include <cstdint>

#include "app/CDesktopIntegration.h"
#include "app/CGraphFrame.h"
#include "app/CMeter.h"
#include "app/CSaveFailureAlert.h"
#include "app/CToolMenu.h"
#include "persistence/CDataFolder.h"
#include "persistence/CSaveFailureNotice.h"
#include "platform/QtLocaleTexts.h"
#include "runloop/CFrameLoop.h"

class CFrameClock;
class CTrafficSampler;
class LocalClock;
class LocalZone;
class MsClock;
class UtcClock;

// The program's main object: it makes the meter, its graph window, the menu with its tool
// windows and the desktop side, ties them together, and hands each frame of the run loop to
// them in turn. Its destructor is the orderly shutdown: the data first, then the windows.
class CMainFrame : public QObject, public IFrameWork {
    Q_OBJECT
public:
    struct Services {
        const MsClock& msClock;
        const LocalClock& localClock;
        const LocalZone& zone;
        const UtcClock& utcClock;
        CTrafficSampler& sampler;
        CFrameClock& frameClock;  // each frame's own time, set as it is worked
    };

    CMainFrame(const Services& services, CDataFolder folder);
    ~CMainFrame() override;

    // Creates the graph window, the menu and the tray icon; shows the "ERROR" message and
    // returns false when the window's GL set-up fails. The run loop works frames only once this
    // has succeeded.
    bool Create();
    bool IsReady() const { return ready_; }

    // The run loop's work. A frame: advance the graph, sample at each completed step, feed the
    // consumers, apply changes; its drawing waits for PictureChanged and ShowPicture.
    void WorkFrame(std::uint32_t frameMs) override;
    bool PictureChanged() override;
    void ShowPicture() override;
    int FramesUntilNeeded(const CFrameTimeline& timeline) override;
    CFrameTimeline::Duration FrameDelay() const override;

    // One frame now, shown if it changed the picture: what a loop waking for every frame does.
    void RunFrame();
    // Frames run since start (timed and paint-driven).
    std::uint64_t FrameCount() const { return frameCount_; }

    CMeter& Meter() { return meter_; }
    CGraphFrame& Graph() { return graph_; }
    CToolMenu& Tools() { return tools_; }
    CDesktopIntegration& Desktop() { return desktop_; }

signals:
    void SampleTaken(double downloadRate, double uploadRate);

private:
    Services services_;
    QtLocaleTexts texts_;  // the user's language, for the models' sentences
    // Every data file is saved through the meter's folder, which reports failures here.
    CSaveFailureNotice saveFailures_;
    CSaveFailureAlert saveFailureAlert_{saveFailures_};
    CMeter meter_;
    CGraphFrame graph_;
    CToolMenu tools_;
    CDesktopIntegration desktop_;
    bool ready_ = false;
    std::uint64_t frameCount_ = 0;
};
