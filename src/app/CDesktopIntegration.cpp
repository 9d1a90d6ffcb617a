#include "app/CDesktopIntegration.h"

#include <utility>
#include <vector>

#include "app/CGraphFrame.h"
#include "app/CMeter.h"
#include "app/CSaveFailureAlert.h"
#include "appearance/CSettings.h"
#include "appearance/CThemeTable.h"
#include "appearance/QColourRgb.h"
#include "core/Formatters.h"
#include "core/Units.h"
#include "graphgl/CGraphWindow.h"
#include "platform/MsClock.h"
#include "quota/CQuotaEarlyWarning.h"
#include "quota/CTrafficQuota.h"
#include "quota/ProjectionTexts.h"
#include "quota/QuotaProjection.h"
#include "runloop/CFrameClock.h"
#include "tray/CSystemTray.h"
#include "tray/CTrayHiding.h"
#include "tray/TrayRules.h"

namespace {

constexpr std::uint32_t kTooltipPeriodMs = 200;

}  // namespace

CDesktopIntegration::CDesktopIntegration(CMeter& meter, const LocaleTexts& texts,
                                         const CFrameClock& frameClock,
                                         CSaveFailureAlert& saveFailureAlert)
    : meter_(meter),
      texts_(texts),
      frameClock_(frameClock),
      saveFailureAlert_(saveFailureAlert),
      tooltipStamp_(frameClock.NowMs()) {}

CDesktopIntegration::~CDesktopIntegration() = default;

void CDesktopIntegration::Create(CGraphFrame& graph, QMenu& menu) {
    window_ = graph.Window();
    settings_ = graph.Settings();
    themes_ = &graph.Themes();
    // Without a tray the program runs with its window only.
    tray_ = std::make_unique<CSystemTray>();
    // The tooltip until the first refresh puts the speeds there.
    tray_->Create(menu, tr("HEllo there"), kTrayIconIdle, settings_->trayFace);
    saveFailureAlert_.SetTrayMessage(TrayMessageOf(*tray_));
    // A message owed from the start (a damaged file found) waits for the desktop's first answer
    // about its tray: until then there is none to show it in.
    connect(tray_.get(), &CSystemTray::TrayStateKnown, this,
            [this] { saveFailureAlert_.SetTrayMessage(TrayMessageOf(*tray_)); });
    trayHiding_ = std::make_unique<CTrayHiding>(settings_->hiddenInTray);

    connect(tray_.get(), &CSystemTray::ToggleRequested, this,
            &CDesktopIntegration::ToggleHiddenInTray);
    connect(window_, &CGraphWindow::ToggleRequested, this,
            &CDesktopIntegration::ToggleHiddenInTray);
    // A tray that went away for good gives the window back.
    connect(tray_.get(), &CSystemTray::TrayChecked, this,
            [this](bool available) { ApplyTrayAction(trayHiding_->CheckTray(available)); });

    if (!settings_->hiddenInTray) {
        window_->show();
        return;
    }
    // Whether there is a tray to start hidden in is known once the desktop has answered; the
    // window waits unshown till then.
    connect(
        tray_.get(), &CSystemTray::TrayStateKnown, this,
        [this](bool available) {
            if (trayHiding_->Start(available) != TrayWindowAction::Hide ||
                !tray_->HideToTray(*window_)) {
                settings_->hiddenInTray = false;
                window_->show();
            }
        },
        Qt::SingleShotConnection);
}

void CDesktopIntegration::ShowWindow() {
    if (trayHiding_->Hidden()) {
        ToggleHiddenInTray();  // out of the tray, and the settings' flag follows
    } else {
        tray_->RestoreFromTray(*window_);  // in front and active
    }
}

void CDesktopIntegration::ToggleHiddenInTray() {
    ApplyTrayAction(trayHiding_->Toggle(tray_->TrayAvailable()));
}

void CDesktopIntegration::ApplyTrayAction(TrayWindowAction action) {
    if (action == TrayWindowAction::Hide && !tray_->HideToTray(*window_)) {
        // The tray went away between the question and the hiding.
        settings_->hiddenInTray = false;
    } else if (action == TrayWindowAction::Restore) {
        tray_->RestoreFromTray(*window_);
    }
}

void CDesktopIntegration::ShowRates() {
    tray_->SetIconFromResource(TrayIconForRates(meter_.DownloadRate(), meter_.UploadRate()));
    // The face and the theme are read at each sample, so a change in the settings shows by the
    // next one; the tray redraws only when the texts, the colours or the face changed.
    const SpeedIconColours colours{ToQColor(themes_->CurrentColour(ColourSlot::Download)),
                                   ToQColor(themes_->CurrentColour(ColourSlot::Upload)),
                                   ToQColor(themes_->CurrentColour(ColourSlot::BackgroundTop))};
    tray_->ShowRates(meter_.DownloadRate(), meter_.UploadRate(), settings_->trayFace, colours);
}

void CDesktopIntegration::Refresh() {
    RefreshTooltip();
    ShowQuotaNotices();
}

int CDesktopIntegration::FramesUntilNeeded(const CFrameTimeline& timeline, int needed) {
    // Nothing runs between the frame and this question in one wake-up, so a tip the frame just
    // built is the one this would build. A later question, with events handled in between (a
    // window's Apply), builds it afresh.
    if (std::exchange(tipJustBuilt_, false)) {
        return needed;
    }
    // The tip's text (with the quota's projection) is built only when its refresh would come
    // before the frame already needed.
    const int tipDue = timeline.FirstFrame(needed, [this](std::uint32_t ms) {
        return MsElapsed(tooltipStamp_, ms) > kTooltipPeriodMs;
    });
    if (tipDue < needed && TooltipForRates() != tooltipText_) {
        return tipDue;
    }
    return needed;
}

std::string CDesktopIntegration::TooltipForRates() {
    ++tooltipBuilds_;
    std::string text =
        tr("Down: %1\nUp: %2")
            .arg(QString::fromStdString(FormatSpeed(meter_.DownloadRate() / kKBPerMB)),
                 QString::fromStdString(FormatSpeed(meter_.UploadRate() / kKBPerMB)))
            .toStdString();
    // Built here, where the run loop looks for a changed tip, the quota's line is as prompt as
    // the speeds.
    if (const std::string quota = TooltipQuotaLine(ProjectQuota(meter_.Quota()), texts_);
        !quota.empty()) {
        text += "\n" + quota;
    }
    return text;
}

void CDesktopIntegration::RefreshTooltip() {
    const std::uint32_t now = frameClock_.NowMs();
    tipJustBuilt_ = MsElapsed(tooltipStamp_, now) > kTooltipPeriodMs;
    if (!tipJustBuilt_) {
        return;
    }
    tooltipStamp_ = now;
    std::string text = TooltipForRates();
    if (text != tooltipText_) {
        tooltipText_ = std::move(text);
        tray_->SetTip(QString::fromStdString(tooltipText_));
    }
}

void CDesktopIntegration::ShowQuotaNotices() {
    std::string notice;
    if (meter_.Quota().TakeNotice(notice, texts_) && tray_) {
        tray_->ShowMessage(tr("Capwarden"), QString::fromStdString(notice));
    }
    std::vector<LimitProjection> ahead;
    if (meter_.QuotaEarlyWarning().TakeWarning(ahead) && tray_) {
        tray_->ShowMessage(tr("Capwarden"),
                           QString::fromStdString(EarlyWarningText(ahead, texts_)));
    }
}
