#include "quota/QuotaProjection.h"

#include <utility>

#include "persistence/CTrafficHistory.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Past this age a period's pace is that of its last seven whole days and today.
constexpr int kPaceDays = 7;

std::int64_t Midnight(const LocalClock& clock, const LocalDate& date) {
    return clock.SecondsAt({date, 0, 0});
}

// The traffic of the days from `first` through `last`, as the history's records hold it.
void SumDays(const CTrafficHistory& history, LocalDate first, const LocalDate& last,
             double& downloaded, double& uploaded) {
    for (LocalDate day = first; day <= last; day = AddDays(day, 1)) {
        if (const DayRecord* record = history.DayOf(day)) {
            downloaded += record->downloaded;
            uploaded += record->uploaded;
        }
    }
}

// The day on which `used` growing by `perSecond` from `now` reaches `allowed`.
LocalDate DayReached(const LocalClock& clock, const LocalDateTime& now, std::int64_t nowSeconds,
                     double used, double allowed, double perSecond) {
    const double reached = static_cast<double>(nowSeconds) + (allowed - used) / perSecond;
    const double fromToday = reached - static_cast<double>(Midnight(clock, now.date));
    LocalDate day = AddDays(now.date, static_cast<int>(fromToday / kSecondsPerDay));
    // A daylight-saving change may move the guess a day off.
    while (static_cast<double>(Midnight(clock, AddDays(day, 1))) <= reached) {
        day = AddDays(day, 1);
    }
    while (day > now.date && static_cast<double>(Midnight(clock, day)) > reached) {
        day = AddDays(day, -1);
    }
    return day;
}

}  // namespace

QuotaProjection ProjectQuota(const CTrafficQuota& quota) {
    QuotaProjection result;
    if (!quota.Active()) {
        return result;
    }
    const LocalDate stored = quota.NextPeriod();
    const LocalDate before = stored.month == 1
                                 ? LocalDate{stored.day, 12, stored.year - 1}
                                 : LocalDate{stored.day, stored.month - 1, stored.year};
    result.period = {PeriodBeginsOn(before), PeriodBeginsOn(stored)};

    if (quota.LimitTotal()) {
        result.limits.push_back({kTotalLimit, quota.Total(), quota.AllowedTotal()});
    } else {
        result.limits.push_back({kDownloadLimit, quota.Downloaded(), quota.AllowedDownload()});
        result.limits.push_back({kUploadLimit, quota.Uploaded(), quota.AllowedUpload()});
    }
    std::erase_if(result.limits, [](const LimitProjection& limit) { return limit.allowed < 0.0; });

    // A date the quota never set (a damaged file, before the first check) tells no period.
    const LocalClock& clock = quota.Clock();
    const LocalDateTime now = clock.Now();
    if (!IsValidDate(result.period.first) || !IsValidDate(result.period.next) ||
        !IsValidDate(now.date)) {
        return result;
    }
    const std::int64_t nowSeconds = clock.SecondsAt(now);
    const std::int64_t age = nowSeconds - Midnight(clock, result.period.first);
    const std::int64_t left = Midnight(clock, result.period.next) - nowSeconds;
    if (age < kSecondsPerDay || left <= 0) {
        return result;
    }

    LocalDate from = result.period.first;
    const LocalDate weekAgo = AddDays(now.date, -kPaceDays);
    if (weekAgo > from) {
        from = weekAgo;
    }
    double downloaded = 0.0;
    double uploaded = 0.0;
    SumDays(quota.History(), from, now.date, downloaded, uploaded);
    const double span = static_cast<double>(nowSeconds - Midnight(clock, from));

    for (LimitProjection& limit : result.limits) {
        const double counted = limit.limit == kTotalLimit      ? downloaded + uploaded
                               : limit.limit == kDownloadLimit ? downloaded
                                                               : uploaded;
        const double perSecond = counted / span;
        limit.known = true;
        limit.projected = limit.used + perSecond * static_cast<double>(left);
        if (limit.Passes() && limit.used <= limit.allowed) {
            limit.passesOn =
                DayReached(clock, now, nowSeconds, limit.used, limit.allowed, perSecond);
        }
    }
    return result;
}

const LimitProjection* LeadingLimit(const QuotaProjection& projection) {
    // A passed limit before any other, then the higher share: of the use among passed limits,
    // of the projection once known among the others.
    auto rank = [](const LimitProjection& limit) {
        const bool passed = limit.used > limit.allowed;
        return std::pair(passed, UsedPercent(passed || !limit.known ? limit.used : limit.projected,
                                             limit.allowed));
    };
    const LimitProjection* leading = nullptr;
    for (const LimitProjection& limit : projection.limits) {
        if (leading == nullptr || rank(limit) > rank(*leading)) {
            leading = &limit;
        }
    }
    return leading;
}
