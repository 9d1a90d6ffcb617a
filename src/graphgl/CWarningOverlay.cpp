#include "graphgl/CWarningOverlay.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "graph/PictureFit.h"

#include "graphgl/DibLoader.h"

namespace {
constexpr int kLargestTexture = 4096;
}  // namespace

CWarningOverlay::CWarningOverlay(std::string picturePath) : path_(std::move(picturePath)) {}

CWarningOverlay::~CWarningOverlay() {
    if (texture_ != 0) {
        glDeleteTextures(1, &texture_);
    }
}

void CWarningOverlay::Load() {
    tried_ = true;
    // No picture at all is quiet: the warning then shows as a plain quad.
    if (std::FILE* probe = std::fopen(path_.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        return;
    }
    std::string error;
    if (!LoadDib(path_, image_, error)) {
        // Told once the frame is over: a message box's own event loop must not run frames
        // while this one is half drawn.
        QMetaObject::invokeMethod(
            qApp,
            [text = QString::fromStdString(error)] {
                QMessageBox::warning(QApplication::activeWindow(),
                                     QCoreApplication::translate("CWarningOverlay", "Error"), text);
            },
            Qt::QueuedConnection);
        return;
    }
    glGenTextures(1, &texture_);
}

void CWarningOverlay::Upload(int times) {
    uploadedTimes_ = times;
    const int width = image_.width * times;
    const int height = image_.height * times;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const unsigned char* from =
            &image_.rgb[static_cast<std::size_t>(y / times) * image_.width * 3];
        unsigned char* to = &rgb[static_cast<std::size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            std::copy_n(from + (x / times) * 3, 3, to + x * 3);
        }
    }
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Smoothed both ways, with smaller copies for a window smaller than half the picture.
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void CWarningOverlay::Draw(int width, int height, double pixelRatio,
                           const std::function<void()>& background) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 0.99f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!tried_) {
        Load();
    }
    float left = 0.0f;
    float top = 0.0f;
    float right = static_cast<float>(width);
    float bottom = static_cast<float>(height);
    if (texture_ != 0) {
        // Stretching the picture to the window's shape made it tall and blocky: keep its shape.
        const PictureRect fit = FitPicture(image_.width, image_.height, width, height);
        // Within what every driver takes as a texture.
        const int most = std::max(1, kLargestTexture / std::max(image_.width, image_.height));
        const int times =
            std::min(most, WholeEnlargement(fit.scale * static_cast<float>(pixelRatio)));
        if (times != uploadedTimes_) {
            Upload(times);
        }
        glDisable(GL_TEXTURE_2D);
        background();
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        // Set at every frame: the scanlines put their own filtering back on the bound texture.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        left = fit.left;
        top = fit.top;
        right = fit.left + fit.width;
        bottom = fit.top + fit.height;
    }
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(left, bottom);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(right, bottom);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(right, top);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(left, top);
    glEnd();
}
