#include "runloop/CFramePacer.h"

CFramePacer::CFramePacer(Duration period) : period_(period) {}

CFramePacer::Duration CFramePacer::PeriodForRate(int framesPerSecond) {
    return std::chrono::duration_cast<Duration>(std::chrono::seconds(1)) / framesPerSecond;
}

void CFramePacer::FrameStarted(Clock::time_point now) {
    // A timer wakes us a little after the deadline; staying on the grid keeps the rate at
    // exactly one frame per period instead of drifting by that wake-up delay every frame.
    const Clock::time_point onGrid = next_ + period_;
    next_ = (now < onGrid) ? onGrid : now + period_;
}
