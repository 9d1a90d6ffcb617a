#include "runloop/CFrameRateMeter.h"

namespace {
// Keeps the division finite when a window is shorter than a millisecond.
constexpr double kEpsilonMs = 0.0001;
}  // namespace

CFrameRateMeter::CFrameRateMeter(const MsClock& clock)
    : clock_(clock), windowStart_(clock.NowMs()) {}

void CFrameRateMeter::Tick() {
    ++frameCount_;
    if (frameCount_ > 20) {
        frameCount_ = 0;
        windowStart_ = clock_.NowMs();
    } else if (frameCount_ == 18) {
        rate_ = 18 * 1000.0 / (MsElapsed(windowStart_, clock_.NowMs()) + kEpsilonMs);
    }
}

double CFrameRateMeter::Rate() const {
    if (frameCount_ >= 8) {
        return frameCount_ * 1000.0 / (MsElapsed(windowStart_, clock_.NowMs()) + kEpsilonMs);
    }
    return rate_;
}
