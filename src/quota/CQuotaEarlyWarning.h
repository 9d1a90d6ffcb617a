#pragma once

#include <vector>

#include "core/CObservable.h"
#include "persistence/CDataFolder.h"
#include "quota/QuotaProjection.h"

// Warns once per period and limit when the quota's projection passes a limit while the use is
// still within it. What was told is kept in "warned.dat" beside the quota's file, so a restart
// neither repeats a warning nor loses one: the projection moves while the computer is off (the
// first day of a period ends, a light day leaves the pace's week), and a projection already past
// a limit at start is warned about unless a run before has told it in this period. One that falls
// back under the limit and rises again in the same period is not told twice. A limit changed by
// the user is a new limit.
class CQuotaEarlyWarning final : public CObserver {
public:
    static constexpr const char* kFileName = "warned.dat";

    // Observes `quota`, which must outlive it, and reads what was told from `folder`; a missing
    // or bad file means nothing was told yet.
    CQuotaEarlyWarning(CTrafficQuota& quota, CDataFolder folder);
    CQuotaEarlyWarning(const CQuotaEarlyWarning&) = delete;
    CQuotaEarlyWarning& operator=(const CQuotaEarlyWarning&) = delete;

    // After each piece of the quota's work: looks ahead again.
    void Update() override;

    // The limits to warn about, each with the day its use reaches it; false when there are none.
    bool TakeWarning(std::vector<LimitProjection>& limits);

private:
    bool Told(const LimitProjection& limit) const;
    void Load();
    void Save() const;

    CTrafficQuota& quota_;
    CDataFolder folder_;
    LocalDate period_;                   // the next period date of the period told about
    std::vector<LimitProjection> told_;  // its limits whose projection has passed them
    std::vector<LimitProjection> due_;
    CScopedObservation observation_;  // last: it detaches before anything else goes
};
