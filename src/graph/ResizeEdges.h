#pragma once

// Which window edges a pointer at a point of the frameless graph window grabs: a band of
// kResizeBorder pixels inside each edge resizes, and near a corner the band turns into that
// corner over kResizeCornerReach pixels along each side (at most a third of the side, so a small
// window keeps plain sides), so corners are easy to hit. Everything else is the body, which
// moves the window.
enum ResizeEdge : unsigned {
    kEdgeNone = 0,
    kEdgeLeft = 1,
    kEdgeTop = 2,
    kEdgeRight = 4,
    kEdgeBottom = 8,
};

inline constexpr int kResizeBorder = 4;
inline constexpr int kResizeCornerReach = 12;

// The edges (a combination of ResizeEdge) at (x, y) in a window of width x height, window
// coordinates. A point outside the window grabs nothing. In a window too small for two bands
// (or two corner reaches) the nearer edge wins, so opposite edges never come together.
unsigned ResizeEdgesAt(int x, int y, int width, int height);
