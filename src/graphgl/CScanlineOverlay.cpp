#include "graphgl/CScanlineOverlay.h"

#include <algorithm>
#include <cmath>
#include <vector>

CScanlineOverlay::CScanlineOverlay(int strength) {
    glGenTextures(1, &texture_);
    Build(strength);
}

CScanlineOverlay::~CScanlineOverlay() {
    if (texture_ != 0) {
        glDeleteTextures(1, &texture_);
    }
}

void CScanlineOverlay::Resize(int width, int height, double pixelRatio) {
    const double rowPixels = std::max(1.0, std::round(pixelRatio));
    tileSize_ = static_cast<float>(kTextureSize * rowPixels / pixelRatio);
    tilesAcross_ = static_cast<int>(width / tileSize_) + 1;
    tilesDown_ = static_cast<int>(height / tileSize_) + 1;
}

void CScanlineOverlay::Build(int strength) {
    strength_ = strength;
    std::vector<GLubyte> texels(kTextureSize * kTextureSize * 4);
    for (int row = 0; row < kTextureSize; ++row) {
        const GLubyte alpha = (row % 2 == 0) ? 0 : static_cast<GLubyte>(strength);
        for (int col = 0; col < kTextureSize; ++col) {
            GLubyte* texel = &texels[(row * kTextureSize + col) * 4];
            texel[0] = texel[1] = texel[2] = 1;
            texel[3] = alpha;
        }
    }
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kTextureSize, kTextureSize, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texels.data());
}

void CScanlineOverlay::RestoreTextureState() {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glShadeModel(GL_SMOOTH);
}

void CScanlineOverlay::Draw(int strength) {
    if (strength != strength_) {
        Build(strength);
    }
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Modulate keeps the texture's near-black and its alpha only with a white colour.
    glColor4ub(255, 255, 255, 255);
    const float size = tileSize_;
    glBegin(GL_QUADS);
    for (int ty = 0; ty < tilesDown_; ++ty) {
        for (int tx = 0; tx < tilesAcross_; ++tx) {
            const float left = tx * size;
            const float top = ty * size;
            glTexCoord2f(0.0f, 0.0f);
            glVertex2f(left, top + size);
            glTexCoord2f(1.0f, 0.0f);
            glVertex2f(left + size, top + size);
            glTexCoord2f(1.0f, 1.0f);
            glVertex2f(left + size, top);
            glTexCoord2f(0.0f, 1.0f);
            glVertex2f(left, top);
        }
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}
