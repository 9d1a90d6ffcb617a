#pragma once

#include <cstdint>

// The quota warning's blink: while the warning is raised, the picture shows for two seconds and
// the graph for two seconds, in turn, starting with the picture at the first frame after the
// warning is raised. Its deadline is armed then, not at start-up, and compared as elapsed time,
// so a warning first raised after weeks of uptime blinks at once, across the clock's wrap too.
class CWarningBlink {
public:
    static constexpr std::uint32_t kPeriodMs = 2000;

    void SetRaised(bool raised);
    bool Raised() const { return raised_; }

    // For a frame drawn at `now` (ms clock) while raised: whether the picture shows.
    bool Phase(std::uint32_t now);
    bool PictureShown() const { return shown_; }
    // Whether a frame at `now` would flip the picture.
    bool FlipsAt(std::uint32_t now) const;

private:
    bool raised_ = false;
    bool shown_ = false;
    bool flipDue_ = false;
    std::uint32_t lastFlip_ = 0;
};
