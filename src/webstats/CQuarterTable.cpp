#include "webstats/CQuarterTable.h"

#include <chrono>

namespace {

bool ValidSlot(int hour, int quarter) {
    return hour >= 0 && hour < CQuarterTable::kHours && quarter >= 1 &&
           quarter <= CQuarterTable::kQuarters;
}

std::int64_t HoursSince1970(const LocalDateTime& time) {
    using namespace std::chrono;
    const sys_days day =
        year_month_day(year(time.date.year), month(static_cast<unsigned>(time.date.month)),
                       std::chrono::day(static_cast<unsigned>(time.date.day)));
    return static_cast<std::int64_t>(day.time_since_epoch().count()) * CQuarterTable::kHours +
           time.hour;
}

int HourOfDay(std::int64_t hour) {
    return static_cast<int>((hour % CQuarterTable::kHours + CQuarterTable::kHours) %
                            CQuarterTable::kHours);
}

}  // namespace

CQuarterTable::CQuarterTable(const LocalDateTime& start)
    : newestHour_(HoursSince1970(start)), lastHour_(start.hour), lastMinute_(start.minute) {}

void CQuarterTable::Update(const LocalDateTime& now, double downloaded, double uploaded) {
    newestHour_ = HoursSince1970(now);
    const int minute = now.minute;
    const int last = lastMinute_;
    if (last >= 45 && minute >= 0 && minute < 15) {
        Record(newestHour_ - 1, 4, minute, downloaded, uploaded);
    } else if (minute >= 15 && minute < 30 && last < 15) {
        Record(newestHour_, 1, minute, downloaded, uploaded);
    } else if (minute >= 30 && minute < 45 && last >= 15 && last < 30) {
        Record(newestHour_, 2, minute, downloaded, uploaded);
    } else if (minute >= 45 && last >= 30 && last < 45) {
        Record(newestHour_, 3, minute, downloaded, uploaded);
    }
}

void CQuarterTable::Record(std::int64_t hour, int quarter, int minute, double downloaded,
                           double uploaded) {
    const int hourOfDay = HourOfDay(hour);
    auto& bucket = buckets_[hourOfDay];
    bucket[quarter - 1] = Slot{{downloaded - baseDownloaded_, uploaded - baseUploaded_}, hour};
    for (int later = quarter; later < kQuarters; ++later) {
        bucket[later].reset();
    }
    const int blockEnd = (hourOfDay / 6 + 1) * 6;
    for (int h = hourOfDay + 1; h < blockEnd; ++h) {
        buckets_[h] = {};
    }
    baseDownloaded_ = downloaded;
    baseUploaded_ = uploaded;
    lastHour_ = hourOfDay;
    lastMinute_ = minute;
}

QuarterAmount CQuarterTable::Amount(int hour, int quarter) const {
    if (!IsRecorded(hour, quarter)) {
        return {};
    }
    return buckets_[hour][quarter - 1]->amount;
}

bool CQuarterTable::IsRecorded(int hour, int quarter) const {
    if (!ValidSlot(hour, quarter)) {
        return false;
    }
    const std::optional<Slot>& slot = buckets_[hour][quarter - 1];
    // The hours shown: after the end of the current block a day earlier, up to the newest. A
    // slot's hour is always of its own hour of the day, and the span is shorter than a day.
    const std::int64_t blockEnd = newestHour_ - HourOfDay(newestHour_) % 6 + 6;
    return slot.has_value() && slot->hour > blockEnd - kHours && slot->hour <= newestHour_;
}
