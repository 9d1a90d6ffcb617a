#include "quota/CQuotaEarlyWarning.h"

#include <algorithm>
#include <cmath>

#include "persistence/DataFile.h"

namespace {

// The file's limits are written with six decimals and the quota's own are read back in single
// precision: a limit is the same when it differs by less than that.
bool SameAllowance(double a, double b) {
    return std::fabs(a - b) <= 1e-6 * std::max({std::fabs(a), std::fabs(b), 1.0});
}

}  // namespace

CQuotaEarlyWarning::CQuotaEarlyWarning(CTrafficQuota& quota, CDataFolder folder)
    : quota_(quota),
      folder_(std::move(folder)),
      period_(quota.NextPeriod()),
      observation_(quota, *this) {
    Load();
    Update();
}

void CQuotaEarlyWarning::Update() {
    if (quota_.NextPeriod() != period_) {
        period_ = quota_.NextPeriod();
        told_.clear();
    }
    bool told = false;
    for (const LimitProjection& limit : ProjectQuota(quota_).limits) {
        if (!limit.Passes() || Told(limit)) {
            continue;
        }
        told_.push_back(limit);
        told = true;
        // A limit the use has passed already has had its own notice.
        if (limit.used <= limit.allowed) {
            due_.push_back(limit);
        }
    }
    if (told) {
        Save();
    }
}

bool CQuotaEarlyWarning::Told(const LimitProjection& limit) const {
    return std::any_of(told_.begin(), told_.end(), [&](const LimitProjection& told) {
        return told.limit == limit.limit && SameAllowance(told.allowed, limit.allowed);
    });
}

bool CQuotaEarlyWarning::TakeWarning(std::vector<LimitProjection>& limits) {
    if (due_.empty()) {
        return false;
    }
    limits = std::move(due_);
    due_.clear();
    return true;
}

// The file: the header, the next period date of the period told about ("day month year"), then
// one line for each limit told: its QuotaLimit bit and its allowance in MB.
void CQuotaEarlyWarning::Load() {
    std::string text;
    if (!ReadTextFile(folder_.DataFilePath(kFileName), text)) {
        return;
    }
    CTextReader reader(text);
    std::string_view header;
    LocalDate period{0, 0, 0};
    if (!reader.ReadLine(header) || !reader.ScanInt(period.day) || !reader.ScanInt(period.month) ||
        !reader.ScanInt(period.year) || period != period_) {
        return;  // told about another period, or unreadable: nothing told in this one
    }
    std::vector<LimitProjection> told;
    while (!reader.AtEndIgnoringSpace()) {
        int limit = 0;
        double allowed = 0.0;
        if (!reader.ScanInt(limit) || !reader.ScanDouble(allowed) ||
            (limit != kTotalLimit && limit != kDownloadLimit && limit != kUploadLimit)) {
            return;
        }
        LimitProjection entry;
        entry.limit = static_cast<QuotaLimit>(limit);
        entry.allowed = allowed;
        told.push_back(entry);
    }
    told_ = std::move(told);
}

void CQuotaEarlyWarning::Save() const {
    std::string text(kFileHeader);
    AppendFormatted(text, "\n%d %d %d\n", period_.day, period_.month, period_.year);
    for (const LimitProjection& limit : told_) {
        AppendFormatted(text, "%u %f\n", static_cast<unsigned>(limit.limit), limit.allowed);
    }
    folder_.WriteDataFile(kFileName, text);
}
