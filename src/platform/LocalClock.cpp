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

