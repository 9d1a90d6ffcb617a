#pragma once

#include <QObject>

#include <memory>

#include "app/CToolWindowSlot.h"
#include "app/ReleaseClosedWindowMemory.h"
#include "timer/CRefreshCountdown.h"

class AppsWindow;
class CGraphFrame;
class CMeter;
class CTrafficSampler;
class CapwardenWindow;
class MsClock;
class QMenu;
class QPoint;
class SettingsWindow;
class StatisticsWindow;
class TimerWindow;
class WebStatsWindow;

// The program's menu and what it opens: the six tool windows, each open at most once and
// placed where the graph window leaves them room, and the help.
class CToolMenu : public QObject {
    Q_OBJECT
public:
    CToolMenu(CMeter& meter, CGraphFrame& graph, CTrafficSampler& sampler, const MsClock& msClock);
    ~CToolMenu() override;

    // Builds the menu, which the graph window's right click and F1 open from now on.
    void Create();
    // Closes the open tool windows at once (at shutdown, while what they observe still exists).
    void DestroyWindows();

    // A frame's part: the open Timer window's figures at their pace.
    void Refresh();
    // A sample was taken: the open Applications window's model polls with its traffic.
    void SampleTaken();
    // `needed`, or the earlier frame at which an open window refreshes.
    int FramesUntilNeeded(int needed) const;

    QMenu* Menu() { return menu_.get(); }
    void ShowMenu(const QPoint& globalPos);
    void OpenHelp();

    void OpenSettings();
    void OpenStatistics();
    void OpenTimer();
    void OpenCapwarden();
    void OpenWebStats();
    void OpenApps();
    // The open window of each, or null.
    StatisticsWindow* Statistics() const;
    TimerWindow* Timer() const;
    CapwardenWindow* Capwarden() const;
    WebStatsWindow* WebStatsWindowIfOpen() const;
    AppsWindow* AppsWindowIfOpen() const;

private:
    CMeter& meter_;
    CGraphFrame& graph_;
    CTrafficSampler& sampler_;
    const MsClock& msClock_;
    std::unique_ptr<QMenu> menu_;

    CToolWindowSlot<SettingsWindow> settings_{ReleaseClosedWindowMemory};
    CToolWindowSlot<StatisticsWindow> statistics_{ReleaseClosedWindowMemory};
    CToolWindowSlot<TimerWindow> timer_{ReleaseClosedWindowMemory};
    CToolWindowSlot<CapwardenWindow> capwarden_{ReleaseClosedWindowMemory};
    CToolWindowSlot<WebStatsWindow> webStats_{ReleaseClosedWindowMemory};
    CToolWindowSlot<AppsWindow> apps_{ReleaseClosedWindowMemory};
    CRefreshCountdown timerRefresh_;
};
