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

private:
    LocalDateTime now_;
};
