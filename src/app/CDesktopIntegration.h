#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

#include "runloop/CFrameTimeline.h"

class CFrameClock;
class CGraphWindow;
class CGraphFrame;
class CMeter;
class CSaveFailureAlert;
class CSettings;
class CSystemTray;
class CThemeTable;
class CTrayHiding;
class LocaleTexts;
class QMenu;
enum class TrayWindowAction;

// The program on the desktop beside its graph window: the tray icon, whose picture and tooltip
// follow the meter, hiding the graph window into the tray and bringing it back, and the tray's
// notices (the quota's, and the save failure alert's).
class CDesktopIntegration : public QObject {
    Q_OBJECT
public:
    // `frameClock` paces the tooltip; the alert's messages go to the tray once there is one.
    CDesktopIntegration(CMeter& meter, const LocaleTexts& texts, const CFrameClock& frameClock,
                        CSaveFailureAlert& saveFailureAlert);
    // Takes the icon out of the tray.
    ~CDesktopIntegration() override;

    // Puts the icon in the tray with `menu`, and shows the graph window unless the last run
    // ended with it hidden and there is a tray to keep it hidden in.
    void Create(CGraphFrame& graph, QMenu& menu);

    // The icon's picture, or its speeds face, for the meter's latest speeds, after each sample.
    void ShowRates();
    // A frame's part: the tooltip at its pace, and the quota's notices when it has any.
    void Refresh();
    // `needed`, or the earlier frame at which the tooltip would change. Asked once per wake-up
    // of the run loop, after the frames it worked.
    int FramesUntilNeeded(const CFrameTimeline& timeline, int needed);

    // Hides the graph window into the tray or brings it back; the settings' flag follows.
    void ToggleHiddenInTray();
    // Brings the graph window out of the tray if it is there, in front and active.
    void ShowWindow();

    CSystemTray* Tray() { return tray_.get(); }
    // The tooltip's text as last refreshed.
    const std::string& TooltipText() const { return tooltipText_; }
    // How many times the tooltip's text has been built (with the quota's projection).
    int TooltipBuilds() const { return tooltipBuilds_; }

private:
    void ApplyTrayAction(TrayWindowAction action);
    std::string TooltipForRates();
    void RefreshTooltip();
    void ShowQuotaNotices();

    CMeter& meter_;
    const LocaleTexts& texts_;
    const CFrameClock& frameClock_;
    CSaveFailureAlert& saveFailureAlert_;
    CGraphWindow* window_ = nullptr;
    CSettings* settings_ = nullptr;
    const CThemeTable* themes_ = nullptr;
    std::unique_ptr<CSystemTray> tray_;
    std::unique_ptr<CTrayHiding> trayHiding_;
    std::uint32_t tooltipStamp_;
    std::string tooltipText_;
    // The frame just worked built the tip: the run loop's question that follows in the same
    // wake-up need not build it again. Taken by that question, and by the next frame.
    bool tipJustBuilt_ = false;
    int tooltipBuilds_ = 0;
};
