#pragma once

#include <compare>

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

// The number of days of a month (1-12) of the Gregorian calendar; 0 for another month number.
int DaysInMonth(int month, int year);
// True when the day exists in that month and year.
bool IsValidDate(const LocalDate& date);

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
};

class SystemLocalClock final : public LocalClock {
public:
    LocalDateTime Now() const override;
};
