#pragma once

#include <string>

#include "platform/LocaleTexts.h"
#include "webstats/CWebStats.h"

// The HTML statistics page: a chart of the traffic per quarter hour over the last 23 hours, the
// figures since start, of the last hour and of the last five minutes, and the hour labels under
// the chart. `hour` is the current local hour (0-23); times and dates follow the locale.
std::string BuildWebStatsPage(const WebStatsFigures& figures, int hour, const LocaleTexts& texts);

// The heights in pixels of a chart cell's download and upload bars, for amounts scaled so that
// `max` (the largest download + upload of the chart) is 260 pixels.
struct BarHeights {
    int download = 0;
    int upload = 0;

    friend bool operator==(const BarHeights&, const BarHeights&) = default;
};
BarHeights ChartBarHeights(const QuarterAmount& amount, double max);
