#pragma once

#include <vector>

#include "core/CObservable.h"
#include "quota/QuotaProjection.h"

// Warns once per period and limit when the quota's projection first passes a limit while the
// use is still within it. Like the exceeded notice it follows from the period's figures: a
// projection already past a limit when the program starts was told by an earlier run, and one
// that falls back under the limit and rises again in the same period is not told twice. A limit
// changed by the user is a new limit.
class CQuotaEarlyWarning final : public CObserver {
public:
    // Observes `quota`, which must outlive it.
    explicit CQuotaEarlyWarning(CTrafficQuota& quota);
    CQuotaEarlyWarning(const CQuotaEarlyWarning&) = delete;
    CQuotaEarlyWarning& operator=(const CQuotaEarlyWarning&) = delete;

    // After each piece of the quota's work: looks ahead again.
    void Update() override;

    // The limits to warn about, each with the day its use reaches it; false when there are none.
    bool TakeWarning(std::vector<LimitProjection>& limits);

private:
    bool Told(const LimitProjection& limit) const;

    CTrafficQuota& quota_;
    LocalDate period_;                   // the next period date of the period told about
    std::vector<LimitProjection> told_;  // its limits whose projection has passed them
    std::vector<LimitProjection> due_;
    CScopedObservation observation_;  // last: it detaches before anything else goes
};
