#pragma once

#include <QSurfaceFormat>

// The surface every GL window of the program asks for: legacy (compatibility profile) OpenGL,
// double-buffered RGB with 8 bits a channel, a 16-bit depth buffer, no stencil. Frames are
// paced by the program's own clock, and the graph and the chart share one thread, so a swap
// never waits for vertical sync. No alpha channel: a compositor would otherwise let the desktop
// show through wherever blending (the scanlines) leaves alpha below 1.
inline QSurfaceFormat LegacyGlFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(16);
    format.setStencilBufferSize(0);
    format.setSwapInterval(0);
    return format;
}
