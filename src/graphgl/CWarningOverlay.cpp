#include "graphgl/CWarningOverlay.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "graphgl/DibLoader.h"

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
    DibImage image;
    std::string error;
    if (!LoadDib(path_, image, error)) {
        // Told once the frame is over: a message box's own event loop must not run frames
        // while this one is half drawn.
        QMetaObject::invokeMethod(
            qApp,
            [text = QString::fromStdString(error)] {
                QMessageBox::warning(QApplication::activeWindow(), "Error", text);
            },
            Qt::QueuedConnection);
        return;
    }
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.rgb.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void CWarningOverlay::Draw(int width, int height) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 0.99f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!tried_) {
        Load();
    }
    if (texture_ != 0) {
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    }
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, h);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(w, h);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(w, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glEnd();
}
