#include "platform/LocalZone.h"
#include "platform/UtcClock.h"

#include <ctime>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return value % divisor < 0 ? quotient - 1 : quotient;
}

}  // namespace

LocalDateTime LocalZone::LocalAt(std::int64_t utcSeconds) const {
    const std::int64_t local = utcSeconds + OffsetAt(utcSeconds);
    const std::int64_t days = FloorDiv(local, kSecondsPerDay);
    const std::int64_t secondOfDay = local - days * kSecondsPerDay;
    LocalDateTime result;
    result.date = AddDays(LocalDate{1, 1, 1970}, static_cast<int>(days));
    result.hour = static_cast<int>(secondOfDay / 3600);
    result.minute = static_cast<int>(secondOfDay % 3600 / 60);
    return result;
}

std::int64_t LocalZone::HourStart(std::int64_t utcSeconds) const {
    const std::int64_t local = utcSeconds + OffsetAt(utcSeconds);
    return utcSeconds - (local - FloorDiv(local, 3600) * 3600);
}

std::int64_t LocalZone::MomentOf(const LocalDateTime& at) const {
    // As local seconds.
    const std::int64_t wall = DayNumber(at.date) * kSecondsPerDay + at.hour * 3600 + at.minute * 60;
    // The offset in force then: guessed from the offset at the wall time read as UTC, then
    // checked once more, which settles it unless the time falls in a change.
    std::int64_t moment = wall - OffsetAt(wall);
    moment = wall - OffsetAt(moment);
    if (moment + OffsetAt(moment) == wall) {
        return moment;
    }
    // The wall time does not exist (the clocks jump over it): the first moment whose local time
    // is past it. Offsets stay within a day.
    std::int64_t low = wall - kSecondsPerDay;
    std::int64_t high = wall + kSecondsPerDay;
    while (high - low > 1) {
        const std::int64_t middle = low + (high - low) / 2;
        if (middle + OffsetAt(middle) >= wall) {
            high = middle;
        } else {
            low = middle;
        }
    }
    return high;
}

int SystemLocalZone::OffsetAt(std::int64_t utcSeconds) const {
    const std::time_t at = static_cast<std::time_t>(utcSeconds);
    std::tm parts{};
    if (localtime_r(&at, &parts) == nullptr) {
        return 0;
    }
    return static_cast<int>(parts.tm_gmtoff);
}

std::int64_t SystemUtcClock::NowUtc() const {
    return static_cast<std::int64_t>(std::time(nullptr));
}
