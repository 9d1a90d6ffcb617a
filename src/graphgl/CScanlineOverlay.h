#pragma once

#include <GL/gl.h>

// Darkens every other pixel row of the graph by strength/255, through a 256 x 256 texture whose
// rows alternate between transparent and `strength` alpha, tiled over the window. On a scaled
// screen a row is as many device pixels as the scale (rounded), so the lines look as at 1.
class CScanlineOverlay {
public:
    static constexpr int kTextureSize = 256;

    explicit CScanlineOverlay(int strength);
    ~CScanlineOverlay();
    CScanlineOverlay(const CScanlineOverlay&) = delete;
    CScanlineOverlay& operator=(const CScanlineOverlay&) = delete;

    // The window's size in its pixels; each texel row covers the whole device pixels nearest
    // `pixelRatio`, so the rows stay even on a scaled screen.
    void Resize(int width, int height, double pixelRatio = 1.0);
    void Draw(int strength);
    // Texture state the warning overlay restores after drawing its own texture.
    static void RestoreTextureState();

private:
    void Build(int strength);

    GLuint texture_ = 0;
    int strength_ = -1;
    int tilesAcross_ = 1;
    int tilesDown_ = 1;
    float tileSize_ = kTextureSize;  // in window pixels
};
