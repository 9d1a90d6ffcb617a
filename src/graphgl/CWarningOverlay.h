#pragma once

#include <GL/gl.h>

#include <string>

// The blinking "quota used up" picture, stretched over the whole window. The picture is loaded
// on first use; a failed load is reported once and not retried.
class CWarningOverlay {
public:
    explicit CWarningOverlay(std::string picturePath);
    ~CWarningOverlay();
    CWarningOverlay(const CWarningOverlay&) = delete;
    CWarningOverlay& operator=(const CWarningOverlay&) = delete;

    // Covers the window (width x height) with the picture, or an untextured quad without one.
    void Draw(int width, int height);
    bool HasTexture() const { return texture_ != 0; }

private:
    void Load();

    std::string path_;
    GLuint texture_ = 0;
    bool tried_ = false;
};
