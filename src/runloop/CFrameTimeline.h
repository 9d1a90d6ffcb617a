#pragma once

#include <cstdint>

#include "runloop/CFramePacer.h"

// Where each frame falls in time. Timed frames sit on the fixed grid of CFramePacer, each is
// followed by its paint-driven frame, and every frame lasts its frame delay plus what a shown
// frame costs. The run loop counts frames on this line instead of sleeping through each one, so
// a meter that wakes once for many frames keeps the pace of one that works them one by one.
class CFrameTimeline {
public:
    using Clock = CFramePacer::Clock;
    using Duration = CFramePacer::Duration;

    explicit CFrameTimeline(Duration period) : pacer_(period) {}

    void Start(Clock::time_point now);
    // How long each frame from now on lasts.
    void SetFrameLength(Duration length) { length_ = length; }
    Duration FrameLength() const { return length_; }

    // When the next frame starts.
    Clock::time_point NextAt() const;
    // The next frame has been worked.
    void Advance();
    // No frame starts before `now`: frames a late wake-up missed are not caught up.
    void NotBefore(Clock::time_point now);

    // The first of the next `horizon` frames (0: the next one) for which `wanted(ms)` holds, given
    // the millisecond-clock time at which that frame starts; `horizon` when none does.
    template <typename Predicate>
    int FirstFrame(int horizon, Predicate wanted) const {
        CFrameTimeline ahead = *this;
        for (int i = 0; i < horizon; ++i) {
            if (wanted(MsOf(ahead.NextAt()))) {
                return i;
            }
            ahead.Advance();
        }
        return horizon;
    }
    // When the frame `ahead` frames after the next one starts.
    Clock::time_point At(int ahead) const;

    // A time point on the millisecond clock: its milliseconds truncated to 32 bits, as
    // SteadyMsClock reads the same steady clock.
    static std::uint32_t MsOf(Clock::time_point t);

private:
    CFramePacer pacer_;
    Duration length_{};
    Clock::time_point free_{};      // when the frame worked last has ended
    bool paintDrivenNext_ = false;  // the next frame is the one that follows a timed frame
};
