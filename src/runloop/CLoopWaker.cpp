#include "runloop/CLoopWaker.h"

#include <QCoreApplication>
#include <QEvent>

#include <chrono>

CLoopWaker::CLoopWaker(CFrameLoop& loop) : loop_(loop) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CLoopWaker::OnTimer);
}

CLoopWaker::~CLoopWaker() {
    timer_.stop();
    qApp->removeEventFilter(this);
}

void CLoopWaker::Start() {
    loop_.Start(CFrameLoop::Clock::now());
    qApp->installEventFilter(this);
    timer_.start(0);
}

void CLoopWaker::OnTimer() {
    // A frame never runs inside another one, should something in it ever spin an event loop;
    // the outer wake-up arms the timer again.
    if (waking_) {
        return;
    }
    waking_ = true;
    const CFrameLoop::Clock::time_point wake = loop_.Wake(CFrameLoop::Clock::now());
    waking_ = false;
    Arm(wake);
}

void CLoopWaker::Arm(CFrameLoop::Clock::time_point wake) {
    // Round up: waking early would only cost a second wake-up, waking late costs smoothness.
    using namespace std::chrono;
    const auto wait = wake - CFrameLoop::Clock::now();
    timer_.start(wait > nanoseconds::zero() ? ceil<milliseconds>(wait) : milliseconds(0));
}

void CLoopWaker::WakeSoon() {
    if (timer_.remainingTime() != 0) {
        timer_.start(0);
    }
}

bool CLoopWaker::eventFilter(QObject*, QEvent* event) {
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
