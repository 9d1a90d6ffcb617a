#pragma once

#include <QTest>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "FakeClocks.h"
#include "appearance/CThemeTable.h"
#include "graph/CSampleList.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CGraphWindow.h"
#include "graphgl/CTextOverlay.h"

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

inline Rgb ToRgb(const ColourRgb& c) {
    return {c.red, c.green, c.blue};
}

// A real graph window with the view drawing into its back buffer; nothing is swapped, so the
// test reads exactly the frame just drawn. Sizes are the window's pixels; pixels are read in
// device pixels, which are the same on an unscaled screen.
class GraphPixelTest : public ::testing::Test {
protected:
    void Open(int width, int height, const char* theme = "Deep Blue") {
        themes_.SelectTheme(theme);
        window_ = std::make_unique<CGraphWindow>();
        window_->resize(width, height);
        QString error;
        ASSERT_TRUE(window_->CreateGL(error)) << error.toStdString();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        ASSERT_TRUE(window_->MakeCurrent());
        ratio_ = window_->devicePixelRatio();
        ASSERT_TRUE(text_.Create(ratio_));
        view_ = std::make_unique<CGraphView>(text_, themes_, clock_, TALLYGLASS_WARNING_BMP,
                                             Surface(), 0, 0);
        CGraphWindow::ResizeGL(width, height, ratio_);
        view_->Resize(width, height);
        ASSERT_TRUE(view_->SetRenderer(kGraphLines));
        width_ = width;
        height_ = height;
        deviceWidth_ = static_cast<int>(std::lround(width * ratio_));
        deviceHeight_ = static_cast<int>(std::lround(height * ratio_));
    }

    // A surface that swaps nothing, on the window's screen.
    CGraphView::Surface Surface(std::function<void()> swap = {}) const {
        return {std::move(swap), [this] { return ratio_; }};
    }

    void TearDown() override {
        if (window_ && window_->MakeCurrent()) {
            view_.reset();
            text_.Destroy();
        }
    }

    // Draws frames until one is actually drawn (the first call after a step only asks for a
    // sample).
    void DrawOne() {
        for (int i = 0; i < 3; ++i) {
            if (view_->DrawFrame(samples_)) {
                return;
            }
        }
        FAIL() << "no frame was drawn";
    }

    // Pixel at (x, y) with y counted from the top, as the graph's projection counts.
    Rgb Pixel(int x, int y) const {
        unsigned char p[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(x, deviceHeight_ - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }

    int CountColour(int top, int bottom, Rgb colour, int tolerance = 0) const {
        std::vector<unsigned char> pixels(static_cast<std::size_t>(deviceWidth_) * deviceHeight_ *
                                          4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, deviceWidth_, deviceHeight_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            const int row = deviceHeight_ - 1 - y;
            for (int x = 0; x < deviceWidth_; ++x) {
                const unsigned char* p = &pixels[(row * deviceWidth_ + x) * 4];
                if (std::abs(p[0] - colour.r) <= tolerance &&
                    std::abs(p[1] - colour.g) <= tolerance &&
                    std::abs(p[2] - colour.b) <= tolerance) {
                    ++count;
                }
            }
        }
        return count;
    }

    FakeMsClock clock_;
    CThemeTable themes_;
    CTextOverlay text_;
    CSampleList samples_;
    std::unique_ptr<CGraphWindow> window_;
    std::unique_ptr<CGraphView> view_;
    int width_ = 0;
    int height_ = 0;
    double ratio_ = 1.0;
    int deviceWidth_ = 0;
    int deviceHeight_ = 0;
};
