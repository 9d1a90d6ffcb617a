#include "platform/LocalClock.h"

#include <chrono>
#include <ctime>

std::int64_t DayNumber(const LocalDate& date) {
    using namespace std::chrono;
    const sys_days days{year{date.year} / month{static_cast<unsigned>(date.month)} /
                        day{static_cast<unsigned>(date.day)}};
    return days.time_since_epoch().count();
}

LocalDate AddDays(const LocalDate& date, int days) {
    using namespace std::chrono;
    const year_month_day moved{sys_days{std::chrono::days{DayNumber(date) + days}}};
    return {static_cast<int>(static_cast<unsigned>(moved.day())),
            static_cast<int>(static_cast<unsigned>(moved.month())), static_cast<int>(moved.year())};
}

std::int64_t LocalClock::SecondsAt(const LocalDateTime& at) const {
    return DayNumber(at.date) * 86400 + at.hour * 3600 + at.minute * 60;
}

LocalDateTime SystemLocalClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    LocalDateTime result;
    result.date = {parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900};
    result.hour = parts.tm_hour;
    result.minute = parts.tm_min;
    return result;
}

std::int64_t SystemLocalClock::SecondsAt(const LocalDateTime& at) const {
    std::tm parts{};
    parts.tm_year = at.date.year - 1900;
    parts.tm_mon = at.date.month - 1;
    parts.tm_mday = at.date.day;
    parts.tm_hour = at.hour;
    parts.tm_min = at.minute;
    parts.tm_isdst = -1;  // whichever the zone has then
    const std::time_t seconds = std::mktime(&parts);
    // A time the zone cannot tell (far outside its rules): the calendar's count serves.
    return seconds == static_cast<std::time_t>(-1) ? LocalClock::SecondsAt(at) : seconds;
}
