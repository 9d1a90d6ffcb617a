#include "app/CToolMenu.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

#include <algorithm>
#include <memory>

#include <unistd.h>

#include "app/CGraphFrame.h"
#include "app/CMeter.h"
#include "appearance/CAutostartEntry.h"
#include "appearance/SettingsWindow.h"
#include "apps/AppsWindow.h"
#include "apps/CAppsMonitor.h"
#include "apps/CProcScanner.h"
#include "apps/CSockDiagSource.h"
#include "graphgl/CGraphWindow.h"
#include "hourly/CHourlyStore.h"
#include "platform/Folders.h"
#include "quota/CapwardenWindow.h"
#include "sampling/CTrafficSampler.h"
#include "statistics/StatisticsWindow.h"
#include "timer/TimerWindow.h"
#include "webstats/WebStatsWindow.h"

namespace {

constexpr const char* kHelpFile = "TallyglassHelp.html";

}  // namespace

CToolMenu::CToolMenu(CMeter& meter, CGraphFrame& graph, CTrafficSampler& sampler,
                     const MsClock& msClock)
    : meter_(meter), graph_(graph), sampler_(sampler), msClock_(msClock) {}

CToolMenu::~CToolMenu() = default;

void CToolMenu::Create() {
    connect(graph_.Window(), &CGraphWindow::MenuRequested, this, &CToolMenu::ShowMenu);
    connect(graph_.Window(), &CGraphWindow::HelpRequested, this, &CToolMenu::OpenHelp);
    menu_ = std::make_unique<QMenu>();
    menu_->addAction(tr("Settings"), this, &CToolMenu::OpenSettings);
    menu_->addAction(tr("Statistics"), this, &CToolMenu::OpenStatistics);
    menu_->addAction(tr("Timer"), this, &CToolMenu::OpenTimer);
    menu_->addAction(tr("Capwarden"), this, &CToolMenu::OpenCapwarden);
    menu_->addAction(tr("WebStats"), this, &CToolMenu::OpenWebStats);
    menu_->addAction(tr("Applications"), this, &CToolMenu::OpenApps);
    menu_->addSeparator();
    menu_->addAction(tr("Help"), this, &CToolMenu::OpenHelp);
    menu_->addAction(tr("Exit"), qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void CToolMenu::DestroyWindows() {
    statistics_.Destroy();
    timer_.Destroy();
    capwarden_.Destroy();
    settings_.Destroy();
    webStats_.Destroy();
    apps_.Destroy();
}

void CToolMenu::Refresh() {
    if (timer_.IsOpen() && timerRefresh_.Tick()) {
        timer_.Get()->Refresh();
    }
}

void CToolMenu::SampleTaken() {
    if (AppsWindow* apps = apps_.Get()) {
        std::uint64_t received = 0;
        std::uint64_t sent = 0;
        sampler_.ByteTotals(received, sent);
        apps->Monitor()->Sample(received, sent);
    }
}

int CToolMenu::FramesUntilNeeded(int needed) const {
    return timer_.IsOpen() ? std::min(needed, timerRefresh_.FramesUntilRefresh()) : needed;
}

void CToolMenu::ShowMenu(const QPoint& globalPos) {
    menu_->popup(globalPos);
}

void CToolMenu::OpenHelp() {
    // A missing help file is no error: the desktop simply has nothing to open.
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(meter_.Folder().ProgramFilePath(kHelpFile))));
}

void CToolMenu::OpenSettings() {
    settings_.Open(
        [this] {
            // "Start at login" starts the program that runs now, wherever it was started from.
            CAutostartEntry autostart(CAutostartEntry::PathIn(ResolveConfigFolder()),
                                      ResolveProgramPath());
            return new SettingsWindow(*graph_.Settings(), graph_.Themes(), sampler_,
                                      std::move(autostart), graph_.DesktopScheme());
        },
        graph_.Frame());
}

void CToolMenu::OpenStatistics() {
    statistics_.Open(
        [this] {
            // The meter outlives the window: DestroyWindows closes it first at shutdown.
            const CHourlyStore& store = meter_.HourlyStore();
            return new StatisticsWindow(meter_.History(), store.IsOpen() ? &store : nullptr,
                                        [this] { graph_.MakeCurrent(); });
        },
        graph_.Frame());
}

void CToolMenu::OpenTimer() {
    timer_.Open([this] { return new TimerWindow(meter_.History(), msClock_); }, graph_.Frame());
}

void CToolMenu::OpenCapwarden() {
    capwarden_.Open([this] { return new CapwardenWindow(meter_.Quota()); }, graph_.Frame());
}

void CToolMenu::OpenWebStats() {
    webStats_.Open([this] { return new WebStatsWindow(meter_.WebStats()); }, graph_.Frame());
}

void CToolMenu::OpenApps() {
    // The sources and the model live with the window: closed, it reads no socket and no process.
    apps_.Open(
        [this] {
            std::uint64_t received = 0;
            std::uint64_t sent = 0;
            sampler_.ByteTotals(received, sent);
            return new AppsWindow(std::make_unique<CAppsMonitor>(
                std::make_unique<CSockDiagSource>(), std::make_unique<CProcScanner>(), msClock_,
                getuid(), received, sent));
        },
        graph_.Frame());
}

StatisticsWindow* CToolMenu::Statistics() const {
    return statistics_.Get();
}
TimerWindow* CToolMenu::Timer() const {
    return timer_.Get();
}
CapwardenWindow* CToolMenu::Capwarden() const {
    return capwarden_.Get();
}
WebStatsWindow* CToolMenu::WebStatsWindowIfOpen() const {
    return webStats_.Get();
}
AppsWindow* CToolMenu::AppsWindowIfOpen() const {
    return apps_.Get();
}
