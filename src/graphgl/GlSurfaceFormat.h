#pragma once

#include <QSurfaceFormat>

// The surface every GL window of the program asks for: legacy (compatibility profile) OpenGL,
// double-buffered RGB with 8 bits a channel, a 16-bit depth buffer, no stencil. No alpha
// channel: a compositor would otherwise let the desktop show through wherever blending (the
// scanlines) leaves alpha below 1. The graph shows at most one frame per screen refresh, so it
// may take the driver's vertical sync (where there is one) against tearing; the chart draws only
// on demand and never waits for it.
enum class VerticalSync { Off, On };
inline QSurfaceFormat LegacyGlFormat(VerticalSync sync = VerticalSync::Off) {
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
    format.setSwapInterval(sync == VerticalSync::On ? 1 : 0);
    return format;
}
