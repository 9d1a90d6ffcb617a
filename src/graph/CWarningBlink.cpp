#include "graph/CWarningBlink.h"

#include "platform/MsClock.h"

void CWarningBlink::SetRaised(bool raised) {
    if (raised && !raised_) {
        flipDue_ = true;
    }
    if (!raised) {
        shown_ = false;  // the next warning starts with the picture again
    }
    raised_ = raised;
}

bool CWarningBlink::FlipsAt(std::uint32_t now) const {
    return flipDue_ || MsElapsed(lastFlip_, now) >= kPeriodMs;
}

bool CWarningBlink::Phase(std::uint32_t now) {
    if (FlipsAt(now)) {
        shown_ = !shown_;
        lastFlip_ = now;
        flipDue_ = false;
    }
    return shown_;
}
