#pragma once

#include "platform/LocalClock.h"
#include "platform/MsClock.h"

// A millisecond clock the test moves by hand.
class FakeMsClock final : public MsClock {
public:
    explicit FakeMsClock(std::uint32_t start = 0) : now_(start) {}
    std::uint32_t NowMs() const override { return now_; }
    void Set(std::uint32_t ms) { now_ = ms; }
    void Advance(std::uint32_t ms) { now_ += ms; }  // wraps like the real one

private:
    std::uint32_t now_;
};

// A local clock the test sets by hand.
class FakeLocalClock final : public LocalClock {
public:
    explicit FakeLocalClock(LocalDate date = {7, 12, 2026}, int hour = 10, int minute = 0) {
        now_.date = date;
        now_.hour = hour;
        now_.minute = minute;
    }
    LocalDateTime Now() const override { return now_; }
    void SetDate(LocalDate date) { now_.date = date; }
    void SetTime(int hour, int minute) {
        now_.hour = hour;
        now_.minute = minute;
    }

    // From the wall time `from` on, the clocks are put forward by `minutes` (back when negative),
    // as at a daylight-saving change.
    void SetClockChange(const LocalDateTime& from, int minutes) {
        changeAt_ = LocalClock::SecondsAt(from);
        changeSeconds_ = minutes * 60;
    }
    std::int64_t SecondsAt(const LocalDateTime& at) const override {
        const std::int64_t wall = LocalClock::SecondsAt(at);
        return wall >= changeAt_ ? wall - changeSeconds_ : wall;
    }

private:
    LocalDateTime now_;
    std::int64_t changeAt_ = 0;
    std::int64_t changeSeconds_ = 0;
};

#include "platform/LocalZone.h"

// A time zone `offset` seconds ahead of UTC that changes to `changedOffset` at the moment
// `changeAt` (UTC seconds), as at a daylight-saving change.
class FakeLocalZone final : public LocalZone {
public:
    explicit FakeLocalZone(int offset = 0, std::int64_t changeAt = 0, int changedOffset = 0)
        : offset_(offset),
          changeAt_(changeAt),
          changedOffset_(changeAt == 0 ? offset : changedOffset) {}
    int OffsetAt(std::int64_t utcSeconds) const override {
        return utcSeconds >= changeAt_ ? changedOffset_ : offset_;
    }

private:
    int offset_;
    std::int64_t changeAt_;
    int changedOffset_;
};

#include "platform/UtcClock.h"

// UTC seconds the test sets by hand.
class FakeUtcClock final : public UtcClock {
public:
    explicit FakeUtcClock(std::int64_t now = 0) : now_(now) {}
    std::int64_t NowUtc() const override { return now_; }
    void Advance(std::int64_t seconds) { now_ += seconds; }

private:
    std::int64_t now_;
};
