#pragma once

#include <QObject>
#include <QPoint>

#include <memory>
#include <string>

#include "app/CToolWindowSlot.h"
#include "appearance/CThemeTable.h"
#include "persistence/CDataFolder.h"

class CFrameRateMeter;
class CGraphView;
class CGraphWindow;
class CSampleList;
class CSettings;
class CSystemTray;
class CTextOverlay;
class CTrayHiding;
class CTrafficHistory;
class CTrafficSampler;
class LocalClock;
class MsClock;
class QMenu;
class SettingsWindow;
enum class TrayWindowAction;

// The program's main object and its graph window. It owns the long-lived data (sample list,
// traffic history, settings, themes), turns input into commands, and runs the per-frame update.
// Its destructor is the orderly shutdown: history first, then the window.
class CMainFrame : public QObject {
    Q_OBJECT
public:
    struct Services {
        const MsClock& msClock;
        const LocalClock& localClock;
        CTrafficSampler& sampler;
        CFrameRateMeter& frameRate;
    };

    CMainFrame(const Services& services, CDataFolder folder);
    ~CMainFrame() override;

    // Creates the graph window and its GL set-up; shows the "ERROR" message and returns false
    // when that fails. The run loop calls RunFrame only once this has succeeded.
    bool Create();
    bool IsReady() const { return ready_; }

    // One frame: draw, sample at each completed step, feed the consumers, apply changes.
    void RunFrame();

    CTrafficSampler& Sampler() { return services_.sampler; }
    CTrafficHistory& History() { return *history_; }
    CSampleList& Samples() { return *samples_; }
    const CDataFolder& Folder() const { return folder_; }
    CGraphWindow* Window() { return window_.get(); }
    CGraphView* View() { return view_.get(); }
    CSettings* Settings() { return settings_.get(); }
    CThemeTable& Themes() { return themes_; }
    QMenu* Menu() { return menu_.get(); }
    CSystemTray* Tray() { return tray_.get(); }

    // The latest speeds (KB/s) and the tooltip text built from them.
    double DownloadRate() const { return downloadRate_; }
    double UploadRate() const { return uploadRate_; }
    const std::string& TooltipText() const { return tooltipText_; }
    // Frames run since start (timed and paint-driven).
    std::uint64_t FrameCount() const { return frameCount_; }

    // The tool windows of the menu, each open at most once.
    void OpenSettings();
    void OpenStatistics();
    void OpenTimer();
    void OpenCapwarden();
    void OpenWebStats();

    void OpenHelp();
    void ShowMenu(const QPoint& globalPos);
    // Hides the graph window into the tray or brings it back; the settings' flag follows.
    void ToggleHiddenInTray();

signals:
    void SampleTaken(double downloadRate, double uploadRate);
    void TooltipChanged(const QString& text);

protected:
    void customEvent(QEvent* event) override;

private:
    bool InitGL();
    void BuildMenu();
    void PlaceWindow();
    void OnResized(int width, int height);
    void RequestPaint();
    void TakeSample();
    void RefreshTooltip();
    void ApplyChangedSettings();
    void SizeOnFirstFrame();
    void CreateTray();
    void ApplyTrayAction(TrayWindowAction action);

    Services services_;
    CDataFolder folder_;
    std::unique_ptr<CSampleList> samples_;
    std::unique_ptr<CTrafficHistory> history_;
    CThemeTable themes_;

    std::unique_ptr<CGraphWindow> window_;
    std::unique_ptr<CTextOverlay> text_;
    std::unique_ptr<CGraphView> view_;
    std::unique_ptr<CSettings> settings_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<CSystemTray> tray_;
    std::unique_ptr<CTrayHiding> trayHiding_;
    bool ready_ = false;

    // Tool windows.
    CToolWindowSlot<SettingsWindow> settingsWindow_;

    // The frame that follows each timed frame, as a repaint of the window would.
    bool paintPending_ = false;
    bool painting_ = false;

    bool captionShown_ = false;
    bool scanlineShown_ = false;
    bool firstFrameDone_ = false;
    std::uint64_t frameCount_ = 0;

    double downloadRate_ = 0.0;
    double uploadRate_ = 0.0;
    std::uint32_t tooltipStamp_;
    std::string tooltipText_;
};
