#pragma once

#include <cstdint>
#include <vector>

#include "appearance/ColourRgb.h"
#include "graph/CSeriesPlan.h"

// One thing the bar graph draws: a filled quad from (x0, y0) to (x1, y1), or a line from
// (x0, y0) to (x1, y1), in a theme colour.
struct BarPrimitive {
    enum class Kind : std::uint8_t { Quad, Line };
    Kind kind = Kind::Quad;
    ColourSlot colour = ColourSlot::Download;
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
};

// The bar graph of one frame as an ordered list of quads and lines, so that drawing it is a plain
// loop. For each sample, newest first: the taller bar, then the shorter one over it (upload first
// when equal); then, if the newer bar is at least as tall as both of these, the newer bar's edge
// again at this x; then this bar's edge, the lower series' colour from the baseline to the lower
// top and the higher series' colour on to the higher top (download from the baseline when
// equal). After the last bar, two closing lines at the next x in the colour last used.
class CBarPlan {
public:
    static constexpr float kBarWidth = 3.0f;

    // Reserves room for the longest possible walk once, so Build never allocates.
    CBarPlan();

    void Build(const CSeriesPlan& series, int baseline);

    int Count() const { return static_cast<int>(primitives_.size()); }
    const BarPrimitive& Primitive(int index) const { return primitives_[index]; }
    std::vector<BarPrimitive>::const_iterator begin() const { return primitives_.begin(); }
    std::vector<BarPrimitive>::const_iterator end() const { return primitives_.end(); }

private:
    void AddQuad(ColourSlot colour, float x, float baseline, double top);
    void AddLine(ColourSlot colour, float x, double from, double to);
    void AddEdge(float x, float baseline, const SeriesPoint& bar);

    std::vector<BarPrimitive> primitives_;
};
