#pragma once

#include <chrono>

// When the next frame may start. Frames sit on a fixed grid of one period; a frame that ends
// more than a period late restarts the grid from its own start, so late frames never cause a
// burst of catch-up frames.
class CFramePacer {
public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::nanoseconds;

    explicit CFramePacer(Duration period);

    static Duration PeriodForRate(int framesPerSecond);

    void Start(Clock::time_point now) { next_ = now; }
    // Called with the time read just before a frame's work starts.
    void FrameStarted(Clock::time_point now);

    Clock::time_point Next() const { return next_; }
    Duration Period() const { return period_; }

private:
    Duration period_;
    Clock::time_point next_{};
};
