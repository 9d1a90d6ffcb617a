#include "runloop/CFrameLoop.h"

#include <algorithm>

CFrameLoop::CFrameLoop(IFrameWork& work, Duration period, Duration frameCost, Pace pace)
    : work_(work), timeline_(period), frameCost_(frameCost), pace_(pace) {}

void CFrameLoop::Start(Clock::time_point now) {
    timeline_.Start(now);
    planned_ = 0;
}

CFrameLoop::Clock::time_point CFrameLoop::Wake(Clock::time_point now) {
    timeline_.SetFrameLength(work_.FrameDelay() + frameCost_);
    for (int worked = 0; worked <= planned_ && timeline_.NextAt() <= now; ++worked) {
        work_.WorkFrame(CFrameTimeline::MsOf(timeline_.NextAt()));
        timeline_.Advance();
    }
    timeline_.NotBefore(now);

    bool showLater = false;
    if (work_.PictureChanged()) {
        const bool mayShow =
            pace_ == Pace::EveryFrame || !shownOnce_ || now - lastShow_ >= showInterval_;
        if (mayShow) {
            work_.ShowPicture();
            lastShow_ = now;
            shownOnce_ = true;
        } else {
            showLater = true;
        }
    }

    planned_ = pace_ == Pace::EveryFrame ? 0 : work_.FramesUntilNeeded(timeline_);
    Clock::time_point next = timeline_.At(planned_);
    if (showLater) {
        next = std::min(next, lastShow_ + showInterval_);
    }
    return next;
}
