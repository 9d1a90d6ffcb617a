#include "graph/ResizeEdges.h"

#include <algorithm>

namespace {

// Near the low end (first), the high end (second), or neither, of a span [0, length): within
// `reach` of an end, the nearer end when both are that close.
unsigned NearEnd(int at, int length, int reach, unsigned low, unsigned high) {
    const int fromLow = at;
    const int fromHigh = length - 1 - at;
    const bool nearLow = fromLow < reach;
    const bool nearHigh = fromHigh < reach;
    if (nearLow && nearHigh) {
        return fromLow <= fromHigh ? low : high;
    }
    return nearLow ? low : (nearHigh ? high : kEdgeNone);
}

int CornerReach(int length) {
    return std::min(kResizeCornerReach, std::max(kResizeBorder, length / 3));
}

}  // namespace

unsigned ResizeEdgesAt(int x, int y, int width, int height) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return kEdgeNone;
    }
    const unsigned horizontal = NearEnd(x, width, kResizeBorder, kEdgeLeft, kEdgeRight);
    const unsigned vertical = NearEnd(y, height, kResizeBorder, kEdgeTop, kEdgeBottom);
    if (horizontal == kEdgeNone && vertical == kEdgeNone) {
        return kEdgeNone;
    }
    // On a side band, the stretch near either end belongs to that corner.
    const unsigned cornerX = horizontal != kEdgeNone
                                 ? horizontal
                                 : NearEnd(x, width, CornerReach(width), kEdgeLeft, kEdgeRight);
    const unsigned cornerY = vertical != kEdgeNone
                                 ? vertical
                                 : NearEnd(y, height, CornerReach(height), kEdgeTop, kEdgeBottom);
    return cornerX | cornerY;
}
