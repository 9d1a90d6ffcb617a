#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QRasterWindow>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "graphgl/CGraphWindow.h"

namespace {

// A real graph window on the X server, 221 x 62 at (100, 100), shown and current.
class GraphWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.setGeometry(100, 100, 221, 62);
        QString error;
        ASSERT_TRUE(window_.CreateGL(error)) << error.toStdString();
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        ASSERT_TRUE(window_.MakeCurrent());
    }

    CGraphWindow window_;
};

TEST_F(GraphWindowTest, SurfaceHasNoAlphaChannelSoACompositorKeepsItOpaque) {
    EXPECT_EQ(window_.Context()->format().alphaBufferSize(), 0);
    GLint alphaBits = -1;
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    EXPECT_EQ(alphaBits, 0);

    // A compositor blends a window by its visual: a 32-bit (ARGB) one lets the desktop through,
    // the screen's own depth does not.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    xcb_connection_t* connection = x11->connection();
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(
        connection, xcb_get_geometry(connection, static_cast<xcb_window_t>(window_.winId())),
        nullptr);
    ASSERT_NE(geometry, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    EXPECT_EQ(geometry->depth, screen->root_depth);
    EXPECT_NE(geometry->depth, 32);
    std::free(geometry);
}

TEST_F(GraphWindowTest, ResizeCursorsOverTheBorderOnlyWithoutCaption) {
    struct Case {
        QPoint at;
        Qt::CursorShape shape;
    };
    const Case cases[] = {
        {{110, 30}, Qt::ArrowCursor},     {{1, 1}, Qt::SizeFDiagCursor},
        {{219, 60}, Qt::SizeFDiagCursor}, {{219, 1}, Qt::SizeBDiagCursor},
        {{2, 60}, Qt::SizeBDiagCursor},   {{0, 30}, Qt::SizeHorCursor},
        {{220, 30}, Qt::SizeHorCursor},   {{110, 0}, Qt::SizeVerCursor},
        {{110, 61}, Qt::SizeVerCursor},   {{110, 30}, Qt::ArrowCursor},
    };
    for (const Case& c : cases) {
        QTest::mouseMove(&window_, c.at);
        EXPECT_EQ(window_.cursor().shape(), c.shape) << c.at.x() << "," << c.at.y();
    }
    QTest::mouseMove(&window_, {1, 1});
    window_.SetCaptionShown(true);  // the window manager's frame resizes it now
    EXPECT_EQ(window_.cursor().shape(), Qt::ArrowCursor);
    for (const Case& c : cases) {
        QTest::mouseMove(&window_, c.at);
        EXPECT_EQ(window_.cursor().shape(), Qt::ArrowCursor) << c.at.x() << "," << c.at.y();
    }
}

// A window wholly under others is not seen, so the meter need not draw it; a partly covered one
// is.
TEST_F(GraphWindowTest, TellsWhenOtherWindowsCoverAllOfIt) {
    window_.setPosition(1000, 900);  // away from where other tests put their windows
    EXPECT_FALSE(window_.FullyCovered());
    QRasterWindow cover;
    cover.setFlags(Qt::Tool | Qt::FramelessWindowHint);
    cover.setGeometry(990, 890, 241, 82);
    cover.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_.FullyCovered(); }, 10000));
    cover.setGeometry(990, 890, 100, 82);  // a part uncovered
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window_.FullyCovered(); }, 10000));
    cover.setGeometry(990, 890, 241, 82);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_.FullyCovered(); }, 10000));
    cover.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window_.FullyCovered(); }, 10000));
}

TEST_F(GraphWindowTest, DoubleClickInTheBodyStillAsksToHide) {
    QSignalSpy toggles(&window_, &CGraphWindow::ToggleRequested);
    QTest::mouseDClick(&window_, Qt::LeftButton, {}, {110, 30});
    EXPECT_EQ(toggles.count(), 1);
}

}  // namespace
