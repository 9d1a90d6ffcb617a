#pragma once

#include <GL/gl.h>

// Darkens every other pixel row of the graph by strength/255, through a 256 x 256 texture whose
// rows alternate between transparent and `strength` alpha, tiled over the window.
class CScanlineOverlay {
public:
    static constexpr int kTextureSize = 256;

    explicit CScanlineOverlay(int strength);
    ~CScanlineOverlay();
    CScanlineOverlay(const CScanlineOverlay&) = delete;
    CScanlineOverlay& operator=(const CScanlineOverlay&) = delete;

    void Resize(int width, int height);
    void Draw(int strength);
    // Texture state the warning overlay restores after drawing its own texture.
    static void RestoreTextureState();

private:
    void Build(int strength);

    GLuint texture_ = 0;
    int strength_ = -1;
    int tilesAcross_ = 1;
    int tilesDown_ = 1;
};
