#include "app/WindowSizing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

WindowSize DefaultWindowSize(int screenWidth) {
    if (screenWidth >= 1600) {
        return {320, 90};
    }
    if (screenWidth >= 1024) {
        return {221, 62};
    }
    if (screenWidth >= 640) {
        return {176, 56};
    }
    return {60, 20};
}

WindowSize SavedSizeOnDesktop(int savedWidth, int savedHeight, int desktopWidth,
                              int desktopHeight) {
    if (savedWidth <= 0 || savedHeight <= 0) {
        return {-1, -1};
    }
    return {std::min(savedWidth, std::max(desktopWidth, 1)),
            std::min(savedHeight, std::max(desktopHeight, 1))};
}

namespace {

constexpr int kGapToGraph = 8;

constexpr int kMinShownWidth = 40;
constexpr int kMinShownHeight = 20;

// How far two rectangles overlap across and down; not positive when they do not.
int OverlapWidth(const ScreenRect& a, const ScreenRect& b) {
    return std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
}
int OverlapHeight(const ScreenRect& a, const ScreenRect& b) {
    return std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
}

int CoveredArea(const ScreenRect& a, const ScreenRect& b) {
    const int width = OverlapWidth(a, b);
    const int height = OverlapHeight(a, b);
    return width > 0 && height > 0 ? width * height : 0;
}

bool Inside(const ScreenRect& rect, const ScreenRect& area) {
    return rect.x >= area.x && rect.y >= area.y && rect.x + rect.width <= area.x + area.width &&
           rect.y + rect.height <= area.y + area.height;
}

// Moved onto the area as far as it fits; one larger than the area keeps its top left on it.
ScreenRect KeptOn(ScreenRect rect, const ScreenRect& area) {
    rect.x = std::max(area.x, std::min(rect.x, area.x + area.width - rect.width));
    rect.y = std::max(area.y, std::min(rect.y, area.y + area.height - rect.height));
    return rect;
}

// Where a window of `size` starts so that it ends on the screen's `edge`, both in window pixels
// of `ratio` device pixels. A scaled screen's size in window pixels is rounded, up as often as
// down (2560 device pixels at 1.5 are 1707): count the edge at the whole device pixels it holds,
// and round the start inwards, so the window's last device pixel never lies past the screen's.
int InwardStart(int edge, int size, double ratio) {
    const double deviceEdge = std::floor(edge * ratio + 1e-9);
    const double deviceSize = std::round(size * ratio);
    return static_cast<int>(std::floor((deviceEdge - deviceSize) / ratio + 1e-9));
}

}  // namespace

WindowPlace StartPlace(int savedX, int savedY, WindowSize size,
                       const std::vector<ScreenRect>& screens, ScreenRect primary, int panelHeight,
                       bool& usedSaved, double pixelRatio) {
    // Enough of the window to see it and drag it back.
    const ScreenRect window{savedX, savedY, size.width, size.height};
    const int needWidth = std::min(kMinShownWidth, size.width);
    const int needHeight = std::min(kMinShownHeight, size.height);
    usedSaved =
        savedX != -1 && std::any_of(screens.begin(), screens.end(), [&](const auto& s) {
            return OverlapWidth(window, s) >= needWidth && OverlapHeight(window, s) >= needHeight;
        });
    if (usedSaved) {
        return {savedX, savedY};
    }
    return {primary.x + InwardStart(primary.width, size.width, pixelRatio),
            primary.y + InwardStart(primary.height - panelHeight, size.height, pixelRatio)};
}

ToolWindowSpot ToolWindowPlace(ScreenRect wanted, ScreenRect graph, ScreenRect area) {
    wanted = KeptOn(wanted, area);
    if (CoveredArea(wanted, graph) == 0) {
        return {wanted.x, wanted.y, true};
    }
    ScreenRect beside[] = {wanted, wanted, wanted, wanted};
    beside[0].x = graph.x + graph.width + kGapToGraph;
    beside[1].x = graph.x - kGapToGraph - wanted.width;
    beside[2].y = graph.y + graph.height + kGapToGraph;
    beside[3].y = graph.y - kGapToGraph - wanted.height;
    const ScreenRect* nearest = nullptr;
    const auto distance = [&wanted](const ScreenRect& r) {
        return std::abs(r.x - wanted.x) + std::abs(r.y - wanted.y);
    };
    for (const ScreenRect& place : beside) {
        if (Inside(place, area) && (nearest == nullptr || distance(place) < distance(*nearest))) {
            nearest = &place;
        }
    }
    if (nearest != nullptr) {
        return {nearest->x, nearest->y, true};
    }
    ScreenRect least = KeptOn(beside[0], area);
    for (const ScreenRect& place : beside) {
        const ScreenRect kept = KeptOn(place, area);
        if (CoveredArea(kept, graph) < CoveredArea(least, graph)) {
            least = kept;
        }
    }
    return {least.x, least.y, false};
}
