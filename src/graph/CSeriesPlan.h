#pragma once

#include <array>

#include "graph/CGraphGeometry.h"
#include "graph/CSampleList.h"

// One visible sample of the line and bar graphs.
struct SeriesPoint {
    float x = 0.0f;
    double downloadHeight = 0.0;  // above the baseline, on the shared scale
    double uploadHeight = 0.0;
    double downloadY = 0.0;  // baseline - height
    double uploadY = 0.0;
};

// The visible part of the history for one frame, newest first. The newest sample sits at
// x = plot width - accumulator + step and each older one a step further left; the walk stops at
// the oldest sample, which is never drawn, or once x <= -step. Built once per frame into fixed
// storage and read by both the line and the bar renderer.
class CSeriesPlan {
public:
    void Build(const CSampleList& list, const CGraphGeometry& geometry, float step,
               float accumulator, double scale);

    int Count() const { return count_; }
    const SeriesPoint& Point(int index) const { return points_[index]; }
    const SeriesPoint* begin() const { return points_.data(); }
    const SeriesPoint* end() const { return points_.data() + count_; }

    // Largest speeds among the placed samples (0 when none): the input of the rescale.
    double MaxDownload() const { return maxDownload_; }
    double MaxUpload() const { return maxUpload_; }
    // The x one step left of the last placed sample, where the bars are closed.
    float NextX() const { return nextX_; }

private:
    std::array<SeriesPoint, CSampleList::kMaxSamples> points_{};
    int count_ = 0;
    double maxDownload_ = 0.0;
    double maxUpload_ = 0.0;
    float nextX_ = 0.0f;
};
