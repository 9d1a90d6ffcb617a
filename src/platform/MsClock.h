#pragma once

#include <cstdint>

// A millisecond clock that wraps after 2^32 ms (about 49.7 days). Compare its values with
// MsPassed / MsElapsed, never with < or >.
class MsClock {
public:
    virtual ~MsClock() = default;
    virtual std::uint32_t NowMs() const = 0;
};

// Milliseconds of the steady clock, truncated to 32 bits.
class SteadyMsClock final : public MsClock {
public:
    std::uint32_t NowMs() const override;
};

// Milliseconds from `from` to `to`, correct across one wrap.
inline std::uint32_t MsElapsed(std::uint32_t from, std::uint32_t to) {
    return to - from;
}

// True once `now` has passed `deadline`, in wrap-around arithmetic (deadlines less than
// 2^31 ms ahead).
inline bool MsPassed(std::uint32_t now, std::uint32_t deadline) {
    return static_cast<std::int32_t>(now - deadline) > 0;
}
