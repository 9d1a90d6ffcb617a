#include "app/CMainFrame.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

#include "app/WindowSizing.h"
#include "appearance/CAutostartEntry.h"
#include "appearance/CSettings.h"
#include "appearance/SettingsWindow.h"
#include "core/Formatters.h"
#include "core/Units.h"
#include "graph/CSampleList.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CGraphWindow.h"
#include "graphgl/CTextOverlay.h"
#include "persistence/CTrafficHistory.h"
#include "platform/Folders.h"
#include "platform/MsClock.h"
#include "platform/QtLocaleTexts.h"
#include "quota/CQuotaEarlyWarning.h"
#include "quota/CTrafficQuota.h"
#include "quota/CapwardenWindow.h"
#include "quota/ProjectionTexts.h"
#include "runloop/CFrameClock.h"
#include "runloop/CFrameRateMeter.h"
#include "sampling/CTrafficSampler.h"
#include "statistics/StatisticsWindow.h"
#include "timer/TimerWindow.h"
#include "tray/CSystemTray.h"
#include "tray/CTrayHiding.h"
#include "tray/TrayRules.h"
#include "webstats/CWebStats.h"
#include "webstats/CWebStatsPublisher.h"
#include "webstats/WebStatsWindow.h"

namespace {

constexpr std::uint32_t kTooltipPeriodMs = 200;
constexpr const char* kHelpFile = "TallyglassHelp.html";
constexpr const char* kWarningPicture = "gfx/warning.bmp";

struct ScreenMetrics {
    int width = 1280;
    int height = 1024;
    int panelHeight = 0;      // below the desktop's available area
    int desktopWidth = 1280;  // all screens together
    int desktopHeight = 1024;
};

ScreenMetrics ReadScreen() {
    ScreenMetrics metrics;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect all = screen->geometry();
        const QRect available = screen->availableGeometry();
        metrics.width = all.width();
        metrics.height = all.height();
        metrics.panelHeight = all.bottom() - available.bottom();
        metrics.desktopWidth = screen->virtualSize().width();
        metrics.desktopHeight = screen->virtualSize().height();
    }
    return metrics;
}

WindowSize SavedSize(const CSettings& settings, const ScreenMetrics& screen) {
    return SavedSizeOnDesktop(settings.windowWidth, settings.windowHeight, screen.desktopWidth,
                              screen.desktopHeight);
}

}  // namespace

CMainFrame::CMainFrame(const Services& services, CDataFolder folder)
    : services_(services),
      folder_(folder.ReportingTo(saveFailures_)),
      samples_(std::make_unique<CSampleList>()),
      history_(std::make_unique<CTrafficHistory>(folder_, services.msClock, services.localClock)),
      quota_(std::make_unique<CTrafficQuota>(*history_, folder_, services.msClock,
                                             services.localClock)),
      quotaEarlyWarning_(std::make_unique<CQuotaEarlyWarning>(*quota_)),
      tooltipStamp_(services.frameClock.NowMs()) {
    localeTexts_ = std::make_unique<QtLocaleTexts>();
    webStats_ = std::make_unique<CWebStats>(folder_, services.msClock, services.localClock);
    webStatsPublisher_ = std::make_unique<CWebStatsPublisher>(*webStats_, folder_,
                                                              services.localClock, *localeTexts_);
    // Log lines come from the upload's thread; the observers hear of them on this one.
    webStats_->SetLogListener([this] {
        QMetaObject::invokeMethod(
            this, [this] { webStats_->NotifyAll(); }, Qt::QueuedConnection);
    });
}

CMainFrame::~CMainFrame() {
    // Orderly shutdown: the data goes to disk before anything else is torn down.
    SaveDataFiles();
    // Tool windows go while what they observe still exists.
    statistics_.Destroy();
    timer_.Destroy();
    capwarden_.Destroy();
    settingsWindow_.Destroy();
    ready_ = false;
    webStatsWindow_.Destroy();
    webStatsPublisher_.reset();  // cancels a running upload and waits for its thread
    tray_.reset();               // takes the icon out of the tray
    menu_.reset();
    if (window_ && window_->MakeCurrent()) {
        view_.reset();  // textures and lists go while their context is current
        if (text_) {
            text_->Destroy();
        }
    }
    view_.reset();
    window_.reset();
}

bool CMainFrame::Create() {
    window_ = std::make_unique<CGraphWindow>();
    const ScreenMetrics screen = ReadScreen();
    const WindowSize size = DefaultWindowSize(screen.width);
    // Centred until InitGL knows where it goes.
    window_->setGeometry(screen.width / 2 - size.width / 2, screen.height / 2 - size.height / 2,
                         size.width, size.height);

    QString error;
    if (window_->CreateGL(error) && !InitGL()) {
        error = tr("Initialization has failed.");
    }
    if (!error.isEmpty()) {
        window_.reset();
        QMessageBox::warning(nullptr, tr("ERROR"), error);
        return false;
    }

    connect(window_.get(), &CGraphWindow::Resized, this, &CMainFrame::OnResized);
    // An exposed window may have lost what it showed: the next frame is drawn in any case.
    connect(window_.get(), &CGraphWindow::Exposed, this, [this] { view_->ForgetShownFrame(); });
    connect(window_.get(), &CGraphWindow::Moved, this,
            [this](int x, int y) { view_->SetPosition(x, y); });
    connect(window_.get(), &CGraphWindow::MenuRequested, this, &CMainFrame::ShowMenu);
    connect(window_.get(), &CGraphWindow::HelpRequested, this, &CMainFrame::OpenHelp);
    BuildMenu();
    CreateTray();

    ready_ = true;
    return true;
}

void CMainFrame::CreateTray() {
    // Without a tray the program runs with its window only.
    tray_ = std::make_unique<CSystemTray>();
    // The tooltip until the first refresh puts the speeds there.
    tray_->Create(*menu_, tr("HEllo there"), kTrayIconIdle);
    saveFailureAlert_.SetTrayMessage(TrayMessageOf(*tray_));
    trayHiding_ = std::make_unique<CTrayHiding>(settings_->hiddenInTray);

    connect(this, &CMainFrame::SampleTaken, tray_.get(), [this](double down, double up) {
        tray_->SetIconFromResource(TrayIconForRates(down, up));
    });
    connect(this, &CMainFrame::TooltipChanged, tray_.get(), &CSystemTray::SetTip);
    connect(tray_.get(), &CSystemTray::ToggleRequested, this, &CMainFrame::ToggleHiddenInTray);
    connect(window_.get(), &CGraphWindow::ToggleRequested, this, &CMainFrame::ToggleHiddenInTray);
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

void CMainFrame::ShowWindow() {
    if (trayHiding_->Hidden()) {
        ToggleHiddenInTray();  // out of the tray, and the settings' flag follows
    } else {
        tray_->RestoreFromTray(*window_);  // in front and active
    }
}

void CMainFrame::ToggleHiddenInTray() {
    ApplyTrayAction(trayHiding_->Toggle(tray_->TrayAvailable()));
}

void CMainFrame::ApplyTrayAction(TrayWindowAction action) {
    if (action == TrayWindowAction::Hide && !tray_->HideToTray(*window_)) {
        // The tray went away between the question and the hiding.
        settings_->hiddenInTray = false;
    } else if (action == TrayWindowAction::Restore) {
        tray_->RestoreFromTray(*window_);
    }
}

bool CMainFrame::InitGL() {
    text_ = std::make_unique<CTextOverlay>();
    if (!text_->Create()) {
        return false;
    }
    CGraphView::Surface surface{[this] { window_->SwapBuffers(); }};
    view_ = std::make_unique<CGraphView>(*text_, themes_, services_.frameClock,
                                         folder_.ProgramFilePath(kWarningPicture),
                                         std::move(surface), window_->x(), window_->y());
    view_->Resize(1, 1);
    settings_ = std::make_unique<CSettings>(folder_, themes_, services_.sampler, *view_);
    // The opposite of the settings, so the first frame applies both.
    captionShown_ = !settings_->ShowCaption();
    scanlineShown_ = !settings_->ScanlineEffect();
    PlaceWindow();
    return true;
}

void CMainFrame::PlaceWindow() {
    const ScreenMetrics screen = ReadScreen();
    const WindowSize defaultSize = DefaultWindowSize(screen.width);
    bool usedSaved = false;
    const WindowPlace place = StartPlace(view_->Left(), view_->Top(), screen.width, screen.height,
                                         screen.panelHeight, defaultSize, usedSaved);
    const WindowSize saved = SavedSize(*settings_, screen);
    if (usedSaved && saved.width > 0 && saved.height > 0) {
        window_->setGeometry(place.x, place.y, saved.width, saved.height);
    } else {
        window_->setPosition(place.x, place.y);
    }
}

void CMainFrame::BuildMenu() {
    menu_ = std::make_unique<QMenu>();
    menu_->addAction(tr("Settings"), this, &CMainFrame::OpenSettings);
    menu_->addAction(tr("Statistics"), this, &CMainFrame::OpenStatistics);
    menu_->addAction(tr("Timer"), this, &CMainFrame::OpenTimer);
    menu_->addAction(tr("Capwarden"), this, &CMainFrame::OpenCapwarden);
    menu_->addAction(tr("WebStats"), this, &CMainFrame::OpenWebStats);
    menu_->addSeparator();
    menu_->addAction(tr("Help"), this, &CMainFrame::OpenHelp);
    menu_->addAction(tr("Exit"), qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void CMainFrame::OpenSettings() {
    settingsWindow_.Open(
        [this] {
            // "Start at login" starts the program that runs now, wherever it was started from.
            CAutostartEntry autostart(CAutostartEntry::PathIn(ResolveConfigFolder()),
                                      ResolveProgramPath());
            return new SettingsWindow(*settings_, themes_, services_.sampler, std::move(autostart));
        },
        GraphFrame());
}

void CMainFrame::OpenStatistics() {
    statistics_.Open(
        [this] {
            return new StatisticsWindow(*history_, [this] {
                if (window_) {
                    window_->MakeCurrent();
                }
            });
        },
        GraphFrame());
}
StatisticsWindow* CMainFrame::Statistics() const {
    return statistics_.Get();
}

void CMainFrame::OpenTimer() {
    timer_.Open([this] { return new TimerWindow(*history_, services_.msClock); }, GraphFrame());
}
TimerWindow* CMainFrame::Timer() const {
    return timer_.Get();
}
void CMainFrame::OpenCapwarden() {
    capwarden_.Open([this] { return new CapwardenWindow(*quota_); }, GraphFrame());
}
void CMainFrame::OpenWebStats() {
    webStatsWindow_.Open([this] { return new WebStatsWindow(*webStats_); }, GraphFrame());
}
WebStatsWindow* CMainFrame::WebStatsWindowIfOpen() {
    return webStatsWindow_.Get();
}

CapwardenWindow* CMainFrame::Capwarden() const {
    return capwarden_.Get();
}

QRect CMainFrame::GraphFrame() const {
    return window_ && window_->isVisible() ? window_->frameGeometry() : QRect();
}

void CMainFrame::SaveDataFiles() {
    // Without a last sample the traffic since the last graph step (up to a step's worth) would be
    // lost. The graph is not fed: this is no step of its.
    services_.sampler.Sample(downloadRate_, uploadRate_);
    double downloaded = 0.0;
    double uploaded = 0.0;
    RecordTotals(downloaded, uploaded);
    history_->Save();
    quota_->CatchUp();  // the quota works on every third sample only
    quota_->Save();
}

void CMainFrame::ShowMenu(const QPoint& globalPos) {
    menu_->popup(globalPos);
}

void CMainFrame::OpenHelp() {
    // A missing help file is no error: the desktop simply has nothing to open.
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(folder_.ProgramFilePath(kHelpFile))));
}

void CMainFrame::OnResized(int width, int height) {
    if (!window_->MakeCurrent()) {
        return;
    }
    CGraphWindow::ResizeGL(width, height);
    view_->Resize(width, height == 0 ? 1 : height);
    view_->SetPosition(window_->x(), window_->y());
}

void CMainFrame::WorkFrame(std::uint32_t frameMs) {
    services_.frameClock.Set(frameMs);
    ++frameCount_;
    if (!view_->AdvanceFrame(*samples_)) {
        TakeSample();
    }
    RefreshTooltip();
    UpdateQuotaWarning();
    services_.frameRate.Tick();
    ApplyChangedSettings();
    if (timer_.IsOpen() && timerRefresh_.Tick()) {
        timer_.Get()->Refresh();
    }
    SizeOnFirstFrame();
}

bool CMainFrame::GraphSeen() const {
    return window_->isExposed() && !window_->FullyCovered();
}

bool CMainFrame::PictureChanged() {
    // A window nobody can see keeps its pace and its samples; only the drawing is left out, and
    // it needs no GL context then.
    if (!GraphSeen()) {
        view_->ForgetShownFrame();
        return false;
    }
    return view_->PictureChanged(*samples_);
}

void CMainFrame::ShowPicture() {
    if (window_->MakeCurrent()) {
        view_->ShowPicture(*samples_);
    }
}

int CMainFrame::FramesUntilNeeded(const CFrameTimeline& timeline) {
    // Work waiting for a frame: the window's first sizing, settings just applied (caption,
    // scanlines), a quota whose warning the graph does not show yet or still shows.
    if (!firstFrameDone_ || settings_->Changed() || quota_->IsExceeded() != view_->QuotaWarning()) {
        return 0;
    }
    // No later than the frame of the next sample, which everything else may depend on.
    int needed = view_->FramesUntilSample(*samples_);
    if (GraphSeen()) {
        needed = view_->FramesUntilPictureChanges(*samples_, needed);
        if (view_->QuotaWarning()) {
            needed = timeline.FirstFrame(
                needed, [this](std::uint32_t ms) { return view_->WarningFlipsAt(ms); });
        }
    }
    if (timer_.IsOpen()) {
        needed = std::min(needed, timerRefresh_.FramesUntilRefresh());
    }
    // The tip's text (with the quota's projection) is built only when its refresh would come
    // before the frame already needed.
    const int tipDue = timeline.FirstFrame(needed, [this](std::uint32_t ms) {
        return MsElapsed(tooltipStamp_, ms) > kTooltipPeriodMs;
    });
    if (tipDue < needed && TooltipForRates() != tooltipText_) {
        needed = tipDue;
    }
    return needed;
}

CFrameTimeline::Duration CMainFrame::ShowInterval() const {
    // Screens that tell no believable rate count as the common 60 Hz.
    const QScreen* screen = window_->screen();
    const double rate = screen != nullptr ? screen->refreshRate() : 0.0;
    const double hertz = rate >= 10.0 && rate <= 1000.0 ? rate : 60.0;
    return std::chrono::duration_cast<CFrameTimeline::Duration>(
        std::chrono::duration<double>(1.0 / hertz));
}

CFrameTimeline::Duration CMainFrame::FrameDelay() const {
    return std::chrono::milliseconds(view_->SleepPerFrameMs());
}

void CMainFrame::RunFrame() {
    WorkFrame(services_.msClock.NowMs());
    if (PictureChanged()) {
        ShowPicture();
    }
}

void CMainFrame::TakeSample() {
    services_.sampler.Sample(downloadRate_, uploadRate_);
    samples_->Append(downloadRate_, uploadRate_);
    double downloaded = 0.0;
    double uploaded = 0.0;
    RecordTotals(downloaded, uploaded);
    if (webStats_->AddSample(downloaded, uploaded)) {
        webStatsPublisher_->Start();  // returns at once; the upload runs on its own thread
    }
    emit SampleTaken(downloadRate_, uploadRate_);
}

void CMainFrame::RecordTotals(double& downloaded, double& uploaded) {
    services_.sampler.Totals(downloaded, uploaded);
    history_->Update(downloaded, uploaded);
}

MeterStatus CMainFrame::Status() const {
    MeterStatus status = CollectStatus(*samples_, *history_, *quota_);
    // The same limit as the tooltip names, with where its period is heading once that is known.
    const QuotaProjection projection = ProjectQuota(*quota_);
    if (const LimitProjection* leading = LeadingLimit(projection)) {
        status.quotaUsed = UsedPercent(leading->used, leading->allowed);
        if (leading->known) {
            status.quotaProjected = UsedPercent(leading->projected, leading->allowed);
        }
    }
    return status;
}

std::string CMainFrame::TooltipForRates() const {
    std::string text = tr("Down: %1\nUp: %2")
                           .arg(QString::fromStdString(FormatSpeed(downloadRate_ / kKBPerMB)),
                                QString::fromStdString(FormatSpeed(uploadRate_ / kKBPerMB)))
                           .toStdString();
    // Built here, where the run loop looks for a changed tip, the quota's line is as prompt as
    // the speeds.
    if (const std::string quota = TooltipQuotaLine(ProjectQuota(*quota_), *localeTexts_);
        !quota.empty()) {
        text += "\n" + quota;
    }
    return text;
}

void CMainFrame::RefreshTooltip() {
    const std::uint32_t now = services_.frameClock.NowMs();
    if (MsElapsed(tooltipStamp_, now) <= kTooltipPeriodMs) {
        return;
    }
    tooltipStamp_ = now;
    std::string text = TooltipForRates();
    if (text != tooltipText_) {
        tooltipText_ = std::move(text);
        emit TooltipChanged(QString::fromStdString(tooltipText_));
    }
}

void CMainFrame::UpdateQuotaWarning() {
    // Every frame, not only while the quota is on: switching it off ends the warning at once.
    view_->SetQuotaWarning(quota_->IsExceeded());
    std::string notice;
    if (quota_->TakeNotice(notice, *localeTexts_) && tray_) {
        tray_->ShowMessage(tr("Capwarden"), QString::fromStdString(notice));
    }
    std::vector<LimitProjection> ahead;
    if (quotaEarlyWarning_->TakeWarning(ahead) && tray_) {
        tray_->ShowMessage(tr("Capwarden"),
                           QString::fromStdString(EarlyWarningText(ahead, *localeTexts_)));
    }
}

void CMainFrame::ApplyChangedSettings() {
    if (!settings_->TakeChanged()) {
        return;
    }
    if (settings_->ShowCaption() != captionShown_) {
        captionShown_ = settings_->ShowCaption();
        window_->SetCaptionShown(captionShown_);
    }
    if (settings_->ScanlineEffect() != scanlineShown_) {
        scanlineShown_ = settings_->ScanlineEffect();
        if (scanlineShown_) {
            view_->CreateScanline();
        } else {
            view_->DestroyScanline();
        }
    }
}

void CMainFrame::SizeOnFirstFrame() {
    if (firstFrameDone_) {
        return;
    }
    firstFrameDone_ = true;
    const ScreenMetrics screen = ReadScreen();
    WindowSize size = SavedSize(*settings_, screen);
    if (size.width == -1 && size.height == -1) {
        size = DefaultWindowSize(screen.width);
    }
    window_->resize(size.width, size.height);
}
