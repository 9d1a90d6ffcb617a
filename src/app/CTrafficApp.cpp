#include "app/CTrafficApp.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <chrono>
#include <utility>

#include "app/CMainFrame.h"
#include "persistence/CDataFolder.h"

CTrafficApp::CTrafficApp(std::string dataFolder)
    : dataFolder_(std::move(dataFolder)),
      sampler_(interfaces_, msClock_),
      frameRate_(msClock_),
      pacer_(CFramePacer::PeriodForRate(kFramesPerSecond)) {
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &CTrafficApp::OnFrameTimer);
    connect(&signals_, &CSignalBridge::TerminationRequested, qApp, &QCoreApplication::quit);
    // The desktop session may end the process without quitting the loop: save when it asks.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        if (frame_) {
            frame_->SaveDataFiles();
        }
    });
    connect(&channel_, &CInstanceChannel::ShowRequested, this, [this] {
        if (frame_ && frame_->IsReady()) {
            frame_->ShowWindow();
        }
    });
}

CTrafficApp::~CTrafficApp() {
    Shutdown();
}

bool CTrafficApp::ListenForLaterStarts() {
    return channel_.Listen(QString::fromStdString(dataFolder_));
}

bool CTrafficApp::InitInstance() {
    CMainFrame::Services services{msClock_, localClock_, sampler_, frameRate_};
    frame_ =
        std::make_unique<CMainFrame>(services, CDataFolder(dataFolder_, ResolveProgramFolder()));
    if (!frame_->Create()) {
        frame_.reset();
        return false;
    }
    return true;
}

int CTrafficApp::Run() {
    if (!frame_) {
        return 0;
    }
    signals_.Install();
    pacer_.Start(CFramePacer::Clock::now());
    ArmTimer();
    const int code = QCoreApplication::exec();
    Shutdown();
    return code;
}

void CTrafficApp::Shutdown() {
    frameTimer_.stop();
    frame_.reset();  // saves the history
}

void CTrafficApp::OnFrameTimer() {
    const auto now = CFramePacer::Clock::now();
    if (pacer_.Due(now)) {
        pacer_.FrameStarted(now);
        if (frame_ && frame_->IsReady()) {
            frame_->RunFrame();
        }
    }
    ArmTimer();
}

void CTrafficApp::ArmTimer() {
    // Round up: waking early would only cost a second wake-up, waking late costs smoothness.
    using namespace std::chrono;
    const auto wait = pacer_.UntilNext(CFramePacer::Clock::now());
    frameTimer_.start(ceil<milliseconds>(wait));
}
