#include "quota/CQuotaEarlyWarning.h"

#include <algorithm>

CQuotaEarlyWarning::CQuotaEarlyWarning(CTrafficQuota& quota)
    : quota_(quota), period_(quota.NextPeriod()), observation_(quota, *this) {
    Update();
    due_.clear();  // a projection already past a limit was told by an earlier run
}

void CQuotaEarlyWarning::Update() {
    if (quota_.NextPeriod() != period_) {
        period_ = quota_.NextPeriod();
        told_.clear();
    }
    for (const LimitProjection& limit : ProjectQuota(quota_).limits) {
        if (!limit.Passes() || Told(limit)) {
            continue;
        }
        told_.push_back(limit);
        // A limit the use has passed already has had its own notice.
        if (limit.used <= limit.allowed) {
            due_.push_back(limit);
        }
    }
}

bool CQuotaEarlyWarning::Told(const LimitProjection& limit) const {
    return std::any_of(told_.begin(), told_.end(), [&](const LimitProjection& told) {
        return told.limit == limit.limit && told.allowed == limit.allowed;
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
