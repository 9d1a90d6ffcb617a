#pragma once

// Paces the periodic refresh of a tool window in frames: the first refresh on the 26th frame
// ticked, then one every 51 frames (about twice a second at 90 frames/s).
class CRefreshCountdown {
public:
    static constexpr int kFirstFrame = 26;
    static constexpr int kPeriodFrames = 51;

    // Frames ticked before the one that refreshes (0: the next tick refreshes).
    int FramesUntilRefresh() const { return remaining_; }

    // True on the frames that refresh.
    bool Tick() {
        if (remaining_ == 0) {
            remaining_ = kPeriodFrames - 1;
            return true;
        }
        --remaining_;
        return false;
    }

private:
    int remaining_ = kFirstFrame - 1;
};
