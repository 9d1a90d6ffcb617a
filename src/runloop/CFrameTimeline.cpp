#include "runloop/CFrameTimeline.h"

#include <algorithm>

void CFrameTimeline::Start(Clock::time_point now) {
    pacer_.Start(now);
    free_ = now;
    paintDrivenNext_ = false;
}

CFrameTimeline::Clock::time_point CFrameTimeline::NextAt() const {
    // A paint-driven frame follows its timed frame at once; a timed frame waits for its place on
    // the grid as well.
    return paintDrivenNext_ ? free_ : std::max(pacer_.Next(), free_);
}

void CFrameTimeline::Advance() {
    const Clock::time_point start = NextAt();
    if (!paintDrivenNext_) {
        pacer_.FrameStarted(start);
    }
    free_ = start + length_;
    paintDrivenNext_ = !paintDrivenNext_;
}

void CFrameTimeline::NotBefore(Clock::time_point now) {
    free_ = std::max(free_, now);
}

CFrameTimeline::Clock::time_point CFrameTimeline::At(int ahead) const {
    CFrameTimeline later = *this;
    for (int i = 0; i < ahead; ++i) {
        later.Advance();
    }
    return later.NextAt();
}

std::uint32_t CFrameTimeline::MsOf(Clock::time_point t) {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(t.time_since_epoch()).count());
}
