#pragma once

#include <vector>

#include "platform/LocalClock.h"
#include "quota/CTrafficQuota.h"

// Where the quota's billing period is heading, worked out afresh whenever asked (never stored).
//
// For each limit in use: projected = used so far + daily pace x time left. The pace is the
// traffic per day in the history's day records, today's running figures included, from the
// period's first day on; once that day lies more than a week back, from the last seven whole
// days and today only, so a heavy first week does not weigh for ever. Time is real time between
// local wall times, up to the moment the next period begins, so month lengths, missing reset days
// and daylight-saving changes come out right. In the first 24 hours of a period nothing is
// projected: an hour of traffic says nothing about a month.

// The current period: its first day, and the first day of the next one.
struct QuotaPeriod {
    LocalDate first;
    LocalDate next;
};

// One limit's outlook. Amounts are MB.
struct LimitProjection {
    QuotaLimit limit = kTotalLimit;
    double used = 0.0;
    double allowed = 0.0;
    bool known = false;  // false in the period's first 24 hours: nothing to show ("—")
    double projected = 0.0;
    // Set when the use is within the limit and the projection passes it: the day on which the
    // use reaches the limit at this pace.
    LocalDate passesOn{0, 0, 0};

    // The projection passes the limit; reaching it exactly does not, as with the use.
    bool Passes() const { return known && projected > allowed; }
};

struct QuotaProjection {
    QuotaPeriod period;
    std::vector<LimitProjection> limits;  // total, or download then upload; none while off
};

// The quota's current period as its own history and clock see it now.
QuotaProjection ProjectQuota(const CTrafficQuota& quota);

// The limit the tooltip, the status and the quota report lead with: one the use has passed
// (the furthest past, if both are), else the one projected highest (by its use while nothing is
// projected). Null while the quota is off.
const LimitProjection* LeadingLimit(const QuotaProjection& projection);
