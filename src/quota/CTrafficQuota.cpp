#include "quota/CTrafficQuota.h"

#include <algorithm>

#include "core/Formatters.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "platform/LocaleTexts.h"

namespace {

// A limit of -1.0 is not in use and cannot be passed.
bool Passed(double used, double allowed) {
    return allowed >= 0.0 && used > allowed;
}

}  // namespace

LocalDate NextPeriodStart(const LocalDate& today, int resetDay) {
    // A reset day outside the month's range would roll the period over on every check.
    const int day = std::clamp(resetDay, 1, 31);
    LocalDate next{day, today.month, today.year};
    if (today.day >= day) {
        next.month = today.month == 12 ? 1 : today.month + 1;
        next.year = today.month == 12 ? today.year + 1 : today.year;
    }
    return next;
}

LocalDate PeriodBeginsOn(const LocalDate& start) {
    const int last = DaysInMonth(start.month, start.year);
    return start.day <= last ? start : AddDays({last, start.month, start.year}, 1);
}

double UsedPercent(double used, double allowed) {
    return allowed > 0.0 ? used / allowed * 100.0 : 0.0;
}

CTrafficQuota::CTrafficQuota(CTrafficHistory& source, CDataFolder folder, const MsClock& msClock,
                             const LocalClock& localClock)
    : source_(source),
      folder_(std::move(folder)),
      msClock_(msClock),
      localClock_(localClock),
      observation_(source, *this) {
    QuotaValues values;
    std::string text;
    int error = 0;
    const QuotaReadResult result = ReadQuotaFile(folder_, values, text, &error);
    if (result == QuotaReadResult::Unreadable) {
        found_.MarkUnreadable(error);
    } else if (result == QuotaReadResult::Damaged) {
        found_.MarkDamaged(std::move(text));
    }
    resetDay_ = values.resetDay;
    nextPeriod_ = {values.nextPeriodDay, values.nextPeriodMonth, values.nextPeriodYear};
    allowedTotal_ = values.allowedTotal;
    allowedUpload_ = values.allowedUpload;
    allowedDownload_ = values.allowedDownload;
    uploaded_ = values.uploaded;
    downloaded_ = values.downloaded;
    active_ = values.active;
    SetLimitMode(values.limitTotal);
    lastSaveTime_ = msClock_.NowMs();
    // A limit already passed when the program starts was told about in an earlier run.
    toldLimits_ = PassedLimits();
}

void CTrafficQuota::Update() {
    if (++updateCount_ != kUpdateDivisor) {
        return;
    }
    updateCount_ = 0;
    if (!active_) {
        return;
    }
    CheckPeriod(localClock_.Today());
    Accumulate();
    CheckLimits();
    // Elapsed time rather than a deadline: correct across the clock's wrap, however long the
    // quota was off before.
    const std::uint32_t now = msClock_.NowMs();
    if (MsElapsed(lastSaveTime_, now) > kSavePeriodMs) {
        Save();  // a failure is retried at the next period
        lastSaveTime_ = now;
    }
    NotifyAll();
}

void CTrafficQuota::CheckPeriod(const LocalDate& today) {
    // Once per calendar day: the first check after start-up also rolls over a period that ended
    // while the program was not running.
    if (today == lastCheck_) {
        return;
    }
    lastCheck_ = today;
    const LocalDate next = NextPeriodStart(today, resetDay_);
    if (today >= nextPeriod_) {
        ClearCounters();
        nextPeriod_ = next;
    } else if (nextPeriod_ > next) {
        // Worked out while the clock was set ahead by mistake and since put back: the period
        // still ends on the next reset day, and what it counted meanwhile stays in it.
        nextPeriod_ = next;
    }
}

void CTrafficQuota::Accumulate() {
    const double download = source_.SessionDownload();
    const double upload = source_.SessionUpload();
    downloaded_ += download - source_.seenDownload;
    source_.seenDownload = download;
    uploaded_ += upload - source_.seenUpload;
    source_.seenUpload = upload;
}

void CTrafficQuota::CatchUp() {
    if (active_) {
        CheckPeriod(localClock_.Today());
        Accumulate();
    }
}

void CTrafficQuota::CheckLimits() {
    // A limit no longer passed (a new period, cleared counters, a raised limit) may be told
    // about again when it is passed again.
    const unsigned passed = PassedLimits();
    const unsigned fresh = passed & ~toldLimits_;
    toldLimits_ = passed;
    if (fresh == 0) {
        return;
    }
    notice_.clear();
    if (fresh & kTotalLimit) {
        notice_.push_back({kTotalLimit, Total(), allowedTotal_});
    }
    if (fresh & kDownloadLimit) {
        notice_.push_back({kDownloadLimit, downloaded_, allowedDownload_});
    }
    if (fresh & kUploadLimit) {
        notice_.push_back({kUploadLimit, uploaded_, allowedUpload_});
    }
}

bool CTrafficQuota::TakeNotice(std::string& text, const LocaleTexts& texts) {
    if (notice_.empty()) {
        return false;
    }
    text.clear();
    for (const Passing& passing : notice_) {
        const std::string sentence =
            passing.limit == kDownloadLimit
                ? texts.Translate("CTrafficQuota", "Download has passed its limit of %1: %2 used.")
            : passing.limit == kUploadLimit
                ? texts.Translate("CTrafficQuota", "Upload has passed its limit of %1: %2 used.")
                : texts.Translate("CTrafficQuota",
                                  "Total traffic has passed its limit of %1: %2 used.");
        // The limit as the user typed it, the use as the Capwarden window shows it.
        text +=
            (text.empty() ? "" : "\n") + FillArgs(sentence, {QuotaLimitText(passing.allowed).Text(),
                                                             QuotaAmountText(passing.used).Text()});
    }
    notice_.clear();
    return true;
}

unsigned CTrafficQuota::PassedLimits() const {
    if (!active_) {
        return 0;
    }
    if (limitTotal_) {
        return Passed(Total(), allowedTotal_) ? kTotalLimit : 0u;
    }
    return (Passed(downloaded_, allowedDownload_) ? kDownloadLimit : 0u) |
           (Passed(uploaded_, allowedUpload_) ? kUploadLimit : 0u);
}

void CTrafficQuota::Activate() {
    if (!active_) {
        // Count from now on: the session's traffic so far happened while the quota was off.
        source_.seenDownload = source_.SessionDownload();
        source_.seenUpload = source_.SessionUpload();
        lastSaveTime_ = msClock_.NowMs();
    }
    active_ = true;
}

void CTrafficQuota::Deactivate() {
    active_ = false;
    limitTotal_ = false;
    ClearCounters();
    nextPeriod_ = {0, 0, 0};
    lastCheck_ = {0, 0, 0};
    allowedUpload_ = allowedDownload_ = allowedTotal_ = -1.0;
    toldLimits_ = 0;
    notice_.clear();
}

void CTrafficQuota::SetLimitMode(bool total) {
    limitTotal_ = total;
    if (total) {
        allowedDownload_ = allowedUpload_ = -1.0;
    } else {
        allowedTotal_ = -1.0;
    }
}

void CTrafficQuota::SetResetDay(int day) {
    resetDay_ = day;
    nextPeriod_ = NextPeriodStart(localClock_.Today(), day);
}

void CTrafficQuota::ClearCounters() {
    uploaded_ = downloaded_ = 0.0;
}

QuotaValues CTrafficQuota::Values() const {
    QuotaValues values;
    values.resetDay = resetDay_;
    values.nextPeriodDay = nextPeriod_.day;
    values.nextPeriodMonth = nextPeriod_.month;
    values.nextPeriodYear = nextPeriod_.year;
    values.allowedTotal = allowedTotal_;
    values.allowedUpload = allowedUpload_;
    values.allowedDownload = allowedDownload_;
    values.uploaded = uploaded_;
    values.downloaded = downloaded_;
    values.active = active_;
    values.limitTotal = limitTotal_;
    return values;
}

bool CTrafficQuota::Save() {
    return found_.ReadyToWrite(folder_, kQuotaFileName) && WriteQuotaFile(folder_, Values());
}
