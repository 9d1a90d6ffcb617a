#include "platform/LocalClock.h"

#include <ctime>

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

int DaysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsValidDate(const LocalDate& date) {
    return date.day >= 1 && date.day <= DaysInMonth(date.month, date.year);
}
