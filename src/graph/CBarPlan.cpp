#include "graph/CBarPlan.h"

#include "graph/CSampleList.h"

namespace {

// Two quads and up to four edge lines per bar, and the two closing lines.
constexpr std::size_t kMostPrimitives = 6 * CSampleList::kMaxSamples + 2;

}  // namespace

CBarPlan::CBarPlan() {
    primitives_.reserve(kMostPrimitives);
}

void CBarPlan::AddQuad(ColourSlot colour, float x, float baseline, double top) {
    primitives_.push_back(BarPrimitive{BarPrimitive::Kind::Quad, colour, x - kBarWidth, baseline, x,
                                       static_cast<float>(top)});
}

void CBarPlan::AddLine(ColourSlot colour, float x, double from, double to) {
    primitives_.push_back(BarPrimitive{BarPrimitive::Kind::Line, colour, x,
                                       static_cast<float>(from), x, static_cast<float>(to)});
}

void CBarPlan::AddEdge(float x, float baseline, const SeriesPoint& bar) {
    const bool uploadHigher = bar.uploadHeight >= bar.downloadHeight;
    const ColourSlot lower = uploadHigher ? ColourSlot::Download : ColourSlot::Upload;
    const ColourSlot higher = uploadHigher ? ColourSlot::Upload : ColourSlot::Download;
    const double lowerTop = uploadHigher ? bar.downloadY : bar.uploadY;
    const double higherTop = uploadHigher ? bar.uploadY : bar.downloadY;
    AddLine(lower, x, baseline, lowerTop);
    AddLine(higher, x, lowerTop, higherTop);
}

void CBarPlan::Build(const CSeriesPlan& series, int baseline) {
    primitives_.clear();
    const float base = static_cast<float>(baseline);
    const SeriesPoint* newer = nullptr;
    for (const SeriesPoint& bar : series) {
        if (bar.downloadHeight > bar.uploadHeight) {
            AddQuad(ColourSlot::Download, bar.x, base, bar.downloadY);
            AddQuad(ColourSlot::Upload, bar.x, base, bar.uploadY);
        } else {
            AddQuad(ColourSlot::Upload, bar.x, base, bar.uploadY);
            AddQuad(ColourSlot::Download, bar.x, base, bar.downloadY);
        }

        if (newer) {
            const double newerTaller = newer->downloadHeight > newer->uploadHeight
                                           ? newer->downloadHeight
                                           : newer->uploadHeight;
            if (newerTaller >= bar.downloadHeight && newerTaller >= bar.uploadHeight) {
                AddEdge(bar.x, base, *newer);
            }
        }
        AddEdge(bar.x, base, bar);
        newer = &bar;
    }

    if (newer) {
        const ColourSlot lastColour = primitives_.back().colour;
        AddLine(lastColour, series.NextX(), newer->downloadY, base);
        AddLine(lastColour, series.NextX(), newer->uploadY, base);
    }
}
