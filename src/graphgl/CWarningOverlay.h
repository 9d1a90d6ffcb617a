#pragma once

#include <GL/gl.h>

#include <functional>
#include <string>

#include "graphgl/DibLoader.h"

// The blinking "quota used up" picture, as large as the window takes it whole, centred on the
// graph's background. The picture is loaded on first use; a failed load is reported once and not
// retried.
class CWarningOverlay {
public:
    explicit CWarningOverlay(std::string picturePath);
    ~CWarningOverlay();
    CWarningOverlay(const CWarningOverlay&) = delete;
    CWarningOverlay& operator=(const CWarningOverlay&) = delete;

    // Clears the window (width x height window pixels, `pixelRatio` device pixels each) and
    // shows the picture over what `background` draws, or an untextured quad over all of it
    // without a picture.
    void Draw(int width, int height, double pixelRatio, const std::function<void()>& background);
    bool HasTexture() const { return texture_ != 0; }

private:
    void Load();
    // Makes the texture the picture with each pixel repeated `times` times both ways.
    void Upload(int times);

    std::string path_;
    DibImage image_;
    GLuint texture_ = 0;
    int uploadedTimes_ = 0;
    bool tried_ = false;
};
