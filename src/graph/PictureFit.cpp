#include "graph/PictureFit.h"

#include <algorithm>
#include <cmath>

PictureRect FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
    PictureRect rect;
    if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) {
        return rect;
    }
    rect.scale = std::min(static_cast<float>(areaWidth) / static_cast<float>(pictureWidth),
                          static_cast<float>(areaHeight) / static_cast<float>(pictureHeight));
    rect.width = static_cast<float>(pictureWidth) * rect.scale;
    rect.height = static_cast<float>(pictureHeight) * rect.scale;
    rect.left = (static_cast<float>(areaWidth) - rect.width) / 2.0f;
    rect.top = (static_cast<float>(areaHeight) - rect.height) / 2.0f;
    return rect;
}

int WholeEnlargement(float scale) {
    return std::max(1, static_cast<int>(std::floor(scale)));
}
