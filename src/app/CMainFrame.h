#pragma once

#include <QObject>
#include <QPoint>

#include <memory>
#include <string>

#include "app/CSaveFailureAlert.h"
#include "app/CToolWindowSlot.h"
#include "app/ReleaseClosedWindowMemory.h"
#include "appearance/CThemeTable.h"
#include "channel/MeterStatus.h"
#include "persistence/CDataFolder.h"
#include "persistence/CSaveFailureNotice.h"
#include "runloop/CFrameLoop.h"
#include "timer/CRefreshCountdown.h"

class CFrameClock;
class CFrameRateMeter;
class CGraphView;
class CGraphWindow;
class CSampleList;
class CSettings;
class CSystemTray;
class CTextOverlay;
class CTrayHiding;
class CTrafficHistory;
class CTrafficQuota;
class CQuotaEarlyWarning;
class CTrafficSampler;
class CWebStats;
class CWebStatsPublisher;
class LocaleTexts;
class WebStatsWindow;
class CapwardenWindow;
class LocalClock;
class MsClock;
class QMenu;
class StatisticsWindow;
class TimerWindow;
class SettingsWindow;
enum class TrayWindowAction;

// The program's main object and its graph window. It owns the long-lived data (sample list,
// traffic history, settings, themes), turns input into commands, and works the frames the run
// loop gives it. Its destructor is the orderly shutdown: history first, then the quota, then the
// windows.
class CMainFrame : public QObject, public IFrameWork {
    Q_OBJECT
public:
    struct Services {
        const MsClock& msClock;
        const LocalClock& localClock;
        CTrafficSampler& sampler;
        CFrameRateMeter& frameRate;  // ticks on frameClock
        CFrameClock& frameClock;     // each frame's own time, set as it is worked
    };

    CMainFrame(const Services& services, CDataFolder folder);
    ~CMainFrame() override;

    // Creates the graph window and its GL set-up; shows the "ERROR" message and returns false
    // when that fails. The run loop works frames only once this has succeeded.
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
    // Whether someone can see the graph window: shown, not minimised, not fully covered.
    bool GraphSeen() const;
    // The least time between two shown frames: one refresh of the graph window's screen.
    CFrameTimeline::Duration ShowInterval() const;

    CTrafficHistory& History() { return *history_; }
    CTrafficQuota& Quota() { return *quota_; }
    CSampleList& Samples() { return *samples_; }
    CGraphWindow* Window() { return window_.get(); }
    CGraphView* View() { return view_.get(); }
    CSettings* Settings() { return settings_.get(); }
    CThemeTable& Themes() { return themes_; }
    QMenu* Menu() { return menu_.get(); }
    CSystemTray* Tray() { return tray_.get(); }
    // The open statistics window, or null.
    StatisticsWindow* Statistics() const;
    CWebStats& WebStats() { return *webStats_; }
    CWebStatsPublisher& WebStatsPublisher() { return *webStatsPublisher_; }
    WebStatsWindow* WebStatsWindowIfOpen();

    // The latest speeds (KB/s) and the tooltip text built from them.
    double DownloadRate() const { return downloadRate_; }
    double UploadRate() const { return uploadRate_; }
    const std::string& TooltipText() const { return tooltipText_; }
    // The figures a status client asks for, from what the graph, the history and the quota hold.
    MeterStatus Status() const;
    // Frames run since start (timed and paint-driven).
    std::uint64_t FrameCount() const { return frameCount_; }

    // The tool windows of the menu, each open at most once.
    void OpenSettings();
    void OpenStatistics();
    void OpenTimer();
    void OpenCapwarden();
    void OpenWebStats();
    // The open Timer window, or null.
    TimerWindow* Timer() const;
    CapwardenWindow* Capwarden() const;

    // Takes a last sample of the traffic into the history, then saves the history and the
    // quota: every orderly end of the run does this (exit, signals, the session's end).
    void SaveDataFiles();

    void OpenHelp();
    void ShowMenu(const QPoint& globalPos);
    // Hides the graph window into the tray or brings it back; the settings' flag follows.
    void ToggleHiddenInTray();
    // Brings the graph window out of the tray if it is there, in front and active.
    void ShowWindow();

signals:
    void SampleTaken(double downloadRate, double uploadRate);
    void TooltipChanged(const QString& text);

private:
    bool InitGL();
    void BuildMenu();
    void PlaceWindow();
    // Where the graph window and its frame are on the screen; empty while it is not shown.
    QRect GraphFrame() const;
    void OnResized(int width, int height);
    void TakeSample();
    void RecordTotals(double& downloaded, double& uploaded);
    std::string TooltipForRates() const;
    void RefreshTooltip();
    void UpdateQuotaWarning();
    void ApplyChangedSettings();
    void SizeOnFirstFrame();
    void CreateTray();
    void ApplyTrayAction(TrayWindowAction action);

    Services services_;
    // Every data file is saved through folder_, which reports failures here.
    CSaveFailureNotice saveFailures_;
    CSaveFailureAlert saveFailureAlert_{saveFailures_};
    CDataFolder folder_;
    std::unique_ptr<CSampleList> samples_;
    std::unique_ptr<CTrafficHistory> history_;
    std::unique_ptr<CTrafficQuota> quota_;
    std::unique_ptr<CQuotaEarlyWarning> quotaEarlyWarning_;
    CToolWindowSlot<CapwardenWindow> capwarden_{ReleaseClosedWindowMemory};
    CThemeTable themes_;

    std::unique_ptr<CGraphWindow> window_;
    std::unique_ptr<CTextOverlay> text_;
    std::unique_ptr<CGraphView> view_;
    std::unique_ptr<CSettings> settings_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<CSystemTray> tray_;
    std::unique_ptr<CTrayHiding> trayHiding_;
    bool ready_ = false;

    // WebStats: the model, the uploads it asks for, and its window.
    std::unique_ptr<LocaleTexts> localeTexts_;
    std::unique_ptr<CWebStats> webStats_;
    std::unique_ptr<CWebStatsPublisher> webStatsPublisher_;
    CToolWindowSlot<WebStatsWindow> webStatsWindow_{ReleaseClosedWindowMemory};
    CToolWindowSlot<SettingsWindow> settingsWindow_{ReleaseClosedWindowMemory};

    bool captionShown_ = false;
    bool scanlineShown_ = false;
    bool firstFrameDone_ = false;
    std::uint64_t frameCount_ = 0;

    // Tool windows.
    CToolWindowSlot<StatisticsWindow> statistics_{ReleaseClosedWindowMemory};

    double downloadRate_ = 0.0;
    double uploadRate_ = 0.0;
    std::uint32_t tooltipStamp_;
    std::string tooltipText_;

    CToolWindowSlot<TimerWindow> timer_{ReleaseClosedWindowMemory};
    CRefreshCountdown timerRefresh_;
};
