#include "app/CTrafficApp.h"

#include <cstdio>

#include <QCoreApplication>
#include <QGuiApplication>

#include <utility>

#include "app/CMainFrame.h"
#include "appearance/CDesktopSchemeWatcher.h"
#include "persistence/CDataFolder.h"

CTrafficApp::CTrafficApp(std::string dataFolder)
    : dataFolder_(std::move(dataFolder)),
      frameClock_(msClock_.NowMs()),
      sampler_(interfaces_, msClock_) {
    connect(&signals_, &CSignalBridge::TerminationRequested, qApp, &QCoreApplication::quit);
    // The desktop session may end the process without quitting the loop: save when it asks.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        if (frame_) {
            frame_->Meter().SaveDataFiles();
        }
    });
    connect(&channel_, &CInstanceChannel::ShowRequested, this, [this] {
        if (frame_ && frame_->IsReady()) {
            frame_->Desktop().ShowWindow();
        }
    });
    channel_.SetStatusSource([this]() -> std::optional<MeterStatus> {
        if (frame_ && frame_->IsReady()) {
            return frame_->Meter().Status();
        }
        return std::nullopt;
    });
}

CTrafficApp::~CTrafficApp() {
    Shutdown();
}

bool CTrafficApp::ListenForLaterStarts() {
    QString why;
    if (channel_.Listen(QString::fromStdString(dataFolder_), &why)) {
        return true;
    }
    // The meter runs on without it; the user learns why a later start or a status client
    // cannot reach it.
    std::fprintf(stderr, "tallyglass: %s\n",
                 qPrintable(QCoreApplication::translate(
                                "CTrafficApp",
                                "cannot open the meter's socket (%1): later starts and status "
                                "clients cannot reach this meter.")
                                .arg(why)));
    return false;
}

bool CTrafficApp::InitInstance() {
    CMainFrame::Services services{msClock_, localClock_, zone_, utcClock_, sampler_, frameClock_};
    frame_ =
        std::make_unique<CMainFrame>(services, CDataFolder(dataFolder_, ResolveProgramFolder()));
    if (!frame_->Create()) {
        frame_.reset();
        return false;
    }
    connect(frame_.get(), &CMainFrame::SampleTaken, &channel_, &CInstanceChannel::PublishStatus);
    return true;
}

int CTrafficApp::Run() {
    if (!frame_) {
        return 0;
    }
    signals_.Install();
    loop_ = std::make_unique<CFrameLoop>(*frame_, CFramePacer::PeriodForRate(kFramesPerSecond),
                                         kFrameCost);
    loop_->SetShowInterval(frame_->Graph().ShowInterval());
    waker_ = std::make_unique<CLoopWaker>(*loop_);
    // The desktop's switch between light and dark comes from outside the windows: the graph
    // takes the theme at once, not at its next planned frame.
    connect(&frame_->Graph().DesktopScheme(), &CDesktopSchemeWatcher::Changed, waker_.get(),
            &CLoopWaker::WakeSoon);
    waker_->Start();
    const int code = QCoreApplication::exec();
    Shutdown();
    return code;
}

void CTrafficApp::Shutdown() {
    waker_.reset();
    loop_.reset();
    frame_.reset();  // saves the history
}
