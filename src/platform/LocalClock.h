#pragma once

#include <compare>
#include <cstdint>

// A calendar date of the local time zone.
struct LocalDate {
    int day = 1;    // 1-31
    int month = 1;  // 1-12
    int year = 1970;

    friend bool operator==(const LocalDate&, const LocalDate&) = default;
    friend auto operator<=>(const LocalDate& a, const LocalDate& b) {
        if (auto c = a.year <=> b.year; c != 0)
            return c;
        if (auto c = a.month <=> b.month; c != 0)
            return c;
        return a.day <=> b.day;
    }
};

// Days in a month of the Gregorian calendar; 0 for a month outside 1-12.
constexpr int DaysInMonth(int month, int year) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// True for a date the calendar has, in the four-digit years 1 to 9999.
constexpr bool IsValidDate(const LocalDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.day >= 1 &&
           date.day <= DaysInMonth(date.month, date.year);
}

// Days from 1 January 1970 to `date` (negative before it), in the Gregorian calendar.
std::int64_t DayNumber(const LocalDate& date);
// The date `days` days after (before, when negative) `date`.
LocalDate AddDays(const LocalDate& date, int days);

struct LocalDateTime {
    LocalDate date;
    int hour = 0;    // 0-23
    int minute = 0;  // 0-59
};

// The local date and time, as the user's clock shows it.
class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual LocalDateTime Now() const = 0;
    LocalDate Today() const { return Now().date; }

    // Seconds of real time from a fixed origin to the wall time `at` of the clock's time zone:
    // only differences between two of them mean anything. Across a daylight-saving change a span
    // is an hour shorter or longer than the calendar says; this base knows no such change.
    virtual std::int64_t SecondsAt(const LocalDateTime& at) const;
};

class SystemLocalClock final : public LocalClock {
public:
    LocalDateTime Now() const override;
    std::int64_t SecondsAt(const LocalDateTime& at) const override;
};
