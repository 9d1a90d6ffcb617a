#include "webstats/CSampleWindow.h"

void CSampleWindow::Add(double downloaded, double uploaded, double now) {
    samples_.push_front({downloaded, uploaded, now});
    while (samples_.size() > 1 && samples_.back().time + kSpanMs < now) {
        samples_.pop_back();
    }
}

TrafficPair CSampleWindow::Amounts() const {
    if (samples_.size() < 2) {
        return {};
    }
    const TrafficSample& newest = samples_.front();
    const TrafficSample& oldest = samples_.back();
    return {newest.downloaded - oldest.downloaded, newest.uploaded - oldest.uploaded};
}

TrafficPair CSampleWindow::AverageSpeed(double now, double windowMs) const {
    if (samples_.empty()) {
        return {};
    }
    const double start = now - windowMs;
    const TrafficSample* reference = &samples_.front();
    for (const TrafficSample& sample : samples_) {
        if (!(sample.time > start)) {
            break;
        }
        reference = &sample;
    }
    const TrafficSample& newest = samples_.front();
    const double span = newest.time - reference->time;
    if (reference == &newest || span <= 0.0) {
        return {};
    }
    return {(newest.downloaded - reference->downloaded) / span * 1000.0,
            (newest.uploaded - reference->uploaded) / span * 1000.0};
}
