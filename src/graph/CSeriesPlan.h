#pragma once

#include <array>

#include "graph/CGraphGeometry.h"
#include "graph/CSampleList.h"

enum class Flow { Download, Upload };

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

    double Y(Flow flow, int index) const {
        return flow == Flow::Download ? points_[index].downloadY : points_[index].uploadY;
    }
    // Whether every placed sample of the series sits at one height (true without samples).
    bool Flat(Flow flow) const;
    // Whether the placed samples reach to within `slack` pixels of both sides of a plot
    // `plotWidth` wide, or past them.
    bool SpansPlot(int plotWidth, float slack) const {
        return count_ > 0 && points_[0].x >= static_cast<float>(plotWidth) - slack &&
               points_[count_ - 1].x <= slack;
    }

    // The vertices of a series' line, newest first: a run of samples at one height is one
    // segment, so only its first and last sample are vertices. A line of joints at one height
    // would blend its smoothed edge twice at every joint, and those pixels move with the scroll;
    // a single segment stays put wherever its ends are.
    template <typename Visit>
    void ForEachLineVertex(Flow flow, Visit visit) const {
        for (int i = 0; i < count_; ++i) {
            const double y = Y(flow, i);
            const bool insideRun =
                i > 0 && i + 1 < count_ && Y(flow, i - 1) == y && Y(flow, i + 1) == y;
            if (!insideRun) {
                visit(points_[i].x, y);
            }
        }
    }

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
