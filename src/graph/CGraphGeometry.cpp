#include "graph/CGraphGeometry.h"

#include <cstdlib>

int CGraphGeometry::BottomMarginFor(int width) {
    if (width < 80) {
        return 1;
    }
    if (width <= 110) {
        return 25;
    }
    if (width <= 129) {
        return 12;
    }
    if (width <= 179) {
        return 14;
    }
    if (width <= 259) {
        return 15;
    }
    return 17;
}

void CGraphGeometry::SetWidth(int width) {
    width_ = width;
    bottomMargin_ = BottomMarginFor(width);
    UpdateBaseline();
}

void CGraphGeometry::SetHeight(int height) {
    height_ = height;
}

void CGraphGeometry::SetPlotWidth(int width) {
    plotWidth_ = width;
}

void CGraphGeometry::SetBaseline(int height) {
    height_ = height;
    UpdateBaseline();
}

void CGraphGeometry::UpdateBaseline() {
    baseline_ = height_ - bottomMargin_;
    plotHeight_ = std::abs(baseline_ - kTopMargin);
}
