#pragma once

#include <string>
#include <vector>

#include "platform/LocaleTexts.h"
#include "quota/QuotaProjection.h"

// The words in which the program tells a quota's projection.

// The Capwarden window's line for one limit: "Projected: 87.3 GB (87%)" for the total,
// "Projected download: ..." and "Projected upload: ..." for separate limits; "—" for the amount
// while nothing is projected.
std::string ProjectedLine(const LimitProjection& limit);

// The tray tooltip's line, "Quota: 63% used, 94% projected"; with separate limits the one of the
// higher share, named ("Upload quota: ..."). Without a projection the use alone; empty without a
// limit.
std::string TooltipQuotaLine(const QuotaProjection& projection);

// The early warning, one line per limit: "At this pace, total traffic passes its limit of 100 GB
// around 23 Dec." with the day in the locale's short date.
std::string EarlyWarningText(const std::vector<LimitProjection>& limits, const LocaleTexts& texts);
