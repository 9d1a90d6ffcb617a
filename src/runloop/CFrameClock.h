#pragma once

#include <cstdint>

#include "platform/MsClock.h"

// The millisecond clock as the frame being worked sees it: the frame's own start on the
// timeline, also when the loop works it later, in a batch with others. Frame-by-frame rules
// (the tooltip's 200 ms, the warning's blink) read it, so they come out the same
// however the frames were batched.
class CFrameClock final : public MsClock {
public:
    explicit CFrameClock(std::uint32_t start = 0) : now_(start) {}
    std::uint32_t NowMs() const override { return now_; }
    void Set(std::uint32_t ms) { now_ = ms; }

private:
    std::uint32_t now_;
};
