#include "webstats/CQuarterTable.h"

namespace {

bool ValidSlot(int hour, int quarter) {
    return hour >= 0 && hour < CQuarterTable::kHours && quarter >= 1 &&
           quarter <= CQuarterTable::kQuarters;
}

}  // namespace

CQuarterTable::CQuarterTable(int hour, int minute) : lastHour_(hour), lastMinute_(minute) {}

void CQuarterTable::Update(int hour, int minute, double downloaded, double uploaded) {
    const int last = lastMinute_;
    if (last >= 45 && minute >= 0 && minute < 15) {
        Record(hour == 0 ? kHours - 1 : hour - 1, 4, minute, downloaded, uploaded);
    } else if (minute >= 15 && minute < 30 && last < 15) {
        Record(hour, 1, minute, downloaded, uploaded);
    } else if (minute >= 30 && minute < 45 && last >= 15 && last < 30) {
        Record(hour, 2, minute, downloaded, uploaded);
    } else if (minute >= 45 && last >= 30 && last < 45) {
        Record(hour, 3, minute, downloaded, uploaded);
    }
}

void CQuarterTable::Record(int hour, int quarter, int minute, double downloaded, double uploaded) {
    auto& bucket = buckets_[hour];
    bucket[quarter - 1] = QuarterAmount{downloaded - baseDownloaded_, uploaded - baseUploaded_};
    for (int later = quarter; later < kQuarters; ++later) {
        bucket[later].reset();
    }
    const int blockEnd = (hour / 6 + 1) * 6;
    for (int h = hour + 1; h < blockEnd; ++h) {
        buckets_[h] = {};
    }
    baseDownloaded_ = downloaded;
    baseUploaded_ = uploaded;
    lastHour_ = hour;
    lastMinute_ = minute;
}

QuarterAmount CQuarterTable::Amount(int hour, int quarter) const {
    if (!IsRecorded(hour, quarter)) {
        return {};
    }
    return *buckets_[hour][quarter - 1];
}

bool CQuarterTable::IsRecorded(int hour, int quarter) const {
    return ValidSlot(hour, quarter) && buckets_[hour][quarter - 1].has_value();
}
