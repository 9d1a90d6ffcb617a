#pragma once

#include "platform/MsClock.h"

// Frames per second, measured over windows of 21 frames.
class CFrameRateMeter {
public:
    explicit CFrameRateMeter(const MsClock& clock);

    // Once per frame.
    void Tick();
    // A live estimate from the current window once it holds 8 frames, else the last stored rate.
    double Rate() const;

private:
    const MsClock& clock_;
    std::uint32_t windowStart_;
    int frameCount_ = 0;
    double rate_ = 100.0;
};
