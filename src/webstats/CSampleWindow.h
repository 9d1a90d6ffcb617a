#pragma once

#include <deque>

#include "webstats/CQuarterTable.h"

// One sample of the running totals (MB) and when it was taken (ms on a clock that never wraps).
struct TrafficSample {
    double downloaded = 0.0;
    double uploaded = 0.0;
    double time = 0.0;
};

// The samples of the last hour, newest first, for the amounts and average speeds of the last
// hour and the last five minutes.
class CSampleWindow {
public:
    static constexpr double kSpanMs = 3600000.0;

    // Adds the newest sample and drops those more than an hour older than it. The newest sample
    // always stays, so the window is never empty afterwards.
    void Add(double downloaded, double uploaded, double now);

    // Newest minus oldest sample (MB); 0 and 0 with fewer than two samples.
    TrafficPair Amounts() const;

    // MB/s from the oldest sample taken after now - windowMs up to the newest; 0 and 0 when that
    // is the newest sample itself.
    TrafficPair AverageSpeed(double now, double windowMs) const;

private:
    std::deque<TrafficSample> samples_;
};
