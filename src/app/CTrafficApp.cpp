#include "app/CTrafficApp.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>

#include <chrono>
#include <utility>

#include "app/CMainFrame.h"
#include "persistence/CDataFolder.h"

CTrafficApp::CTrafficApp(std::string dataFolder)
    : dataFolder_(std::move(dataFolder)),
      frameClock_(msClock_.NowMs()),
      sampler_(interfaces_, msClock_),
      frameRate_(frameClock_) {
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &CTrafficApp::OnFrameTimer);
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
    return channel_.Listen(QString::fromStdString(dataFolder_));
}

bool CTrafficApp::InitInstance() {
    CMainFrame::Services services{msClock_, localClock_, sampler_, frameRate_, frameClock_};
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
    loop_->Start(CFrameLoop::Clock::now());
    qApp->installEventFilter(this);
    frameTimer_.start(0);
    const int code = QCoreApplication::exec();
    Shutdown();
    return code;
}

void CTrafficApp::Shutdown() {
    frameTimer_.stop();
    qApp->removeEventFilter(this);
    loop_.reset();
    frame_.reset();  // saves the history
}

void CTrafficApp::OnFrameTimer() {
    // A frame never runs inside another one, should something in it ever spin an event loop;
    // the outer wake-up arms the timer again.
    if (waking_ || !loop_) {
        return;
    }
    waking_ = true;
    const CFrameLoop::Clock::time_point wake = loop_->Wake(CFrameLoop::Clock::now());
    waking_ = false;
    ArmTimer(wake);
}

void CTrafficApp::ArmTimer(CFrameLoop::Clock::time_point wake) {
    // Round up: waking early would only cost a second wake-up, waking late costs smoothness.
    using namespace std::chrono;
    const auto wait = wake - CFrameLoop::Clock::now();
    frameTimer_.start(wait > nanoseconds::zero() ? ceil<milliseconds>(wait) : milliseconds(0));
}

void CTrafficApp::WakeSoon() {
    if (loop_ && frameTimer_.remainingTime() != 0) {
        frameTimer_.start(0);
    }
}

bool CTrafficApp::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Expose:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
        case QEvent::Close:
            // After the event has done its work: the frames then see what it changed.
            WakeSoon();
            break;
        default:
            break;
    }
    return false;
}
