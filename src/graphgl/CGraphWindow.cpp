#include "graphgl/CGraphWindow.h"

#include <QtGui/qguiapplication_platform.h>
#include <QCoreApplication>
#include <QCursor>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QStyleHints>

#include <GL/gl.h>
#include <xcb/xcb.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "graph/ResizeEdges.h"
#include "graphgl/GlSurfaceFormat.h"

namespace {

Qt::Edges ToQtEdges(unsigned edges) {
    Qt::Edges result;
    result.setFlag(Qt::LeftEdge, (edges & kEdgeLeft) != 0);
    result.setFlag(Qt::TopEdge, (edges & kEdgeTop) != 0);
    result.setFlag(Qt::RightEdge, (edges & kEdgeRight) != 0);
    result.setFlag(Qt::BottomEdge, (edges & kEdgeBottom) != 0);
    return result;
}

Qt::CursorShape CursorFor(unsigned edges) {
    switch (edges) {
        case kEdgeLeft | kEdgeTop:
        case kEdgeRight | kEdgeBottom:
            return Qt::SizeFDiagCursor;
        case kEdgeRight | kEdgeTop:
        case kEdgeLeft | kEdgeBottom:
            return Qt::SizeBDiagCursor;
        case kEdgeLeft:
        case kEdgeRight:
            return Qt::SizeHorCursor;
        case kEdgeTop:
        case kEdgeBottom:
            return Qt::SizeVerCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

CGraphWindow::CGraphWindow() {
    setSurfaceType(QSurface::OpenGLSurface);
    setFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    setTitle("Tallyglass");
    setFormat(LegacyGlFormat(VerticalSync::On));
    // On a screen of another scale the same size is other device pixels: lay out anew.
    connect(this, &QWindow::screenChanged, this, [this] { emit Resized(width(), height()); });
}

CGraphWindow::~CGraphWindow() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    KillGL();
}

bool CGraphWindow::CreateGL(QString& error) {
    create();
    if (handle() == nullptr) {
        error = tr("could not create device context.");
        return false;
    }
    KeepOffTaskbar();
    WatchVisibility();
    QCoreApplication::instance()->installNativeEventFilter(this);
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(requestedFormat());
    if (!context_->create()) {
        context_.reset();
        error = tr(" Could no create a rendering context.");
        return false;
    }
    if (!context_->makeCurrent(this)) {
        context_.reset();
        error = tr("Could not activate a rendering context.");
        return false;
    }
    InitGLState();
    return true;
}

bool CGraphWindow::MakeCurrent() {
    return context_ && context_->makeCurrent(this);
}

void CGraphWindow::SwapBuffers() {
    if (context_ && isExposed()) {
        context_->swapBuffers(this);
        ++swapCount_;
    }
}

void CGraphWindow::KillGL() {
    if (context_) {
        context_->doneCurrent();
        context_.reset();
    }
}

void CGraphWindow::KeepOffTaskbar() {
    // A tool window has no place in the taskbar or pager. Qt keeps states set before mapping
    // and adds its own (above, stays on top) to them.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    auto intern = [connection](const char* name) {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t atom =
            reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    };
    const xcb_atom_t state = intern("_NET_WM_STATE");
    const xcb_atom_t skip[] = {intern("_NET_WM_STATE_SKIP_TASKBAR"),
                               intern("_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || skip[0] == XCB_ATOM_NONE || skip[1] == XCB_ATOM_NONE) {
        return;
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(winId()),
                        state, XCB_ATOM_ATOM, 32, 2, skip);
    xcb_flush(connection);
}

void CGraphWindow::WatchVisibility() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        return;
    }
    // Qt does not ask for visibility changes; add them to the events it asked for, not in their
    // place.
    xcb_connection_t* connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(winId());
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr);
    if (attributes == nullptr) {
        return;
    }
    const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
    std::free(attributes);
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

bool CGraphWindow::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) == XCB_VISIBILITY_NOTIFY) {
        const auto* visibility = static_cast<const xcb_visibility_notify_event_t*>(message);
        if (handle() != nullptr && visibility->window == static_cast<xcb_window_t>(winId())) {
            fullyCovered_ = visibility->state == XCB_VISIBILITY_FULLY_OBSCURED;
        }
    }
    return false;  // Qt goes on with every event as before
}

void CGraphWindow::InitGLState() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_DONT_CARE);
    glEnable(GL_LINE_SMOOTH);
}

void CGraphWindow::ResizeGL(int width, int height, double pixelRatio) {
    if (height == 0) {
        height = 1;
    }
    // The viewport covers every device pixel of the window; the projection keeps the layout in
    // the window's own pixels, so a scaled screen shows the same picture, only finer.
    const auto deviceWidth = static_cast<GLsizei>(std::lround(width * pixelRatio));
    const auto deviceHeight = static_cast<GLsizei>(std::lround(height * pixelRatio));
    glViewport(0, 0, deviceWidth, deviceHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, deviceWidth / pixelRatio, deviceHeight / pixelRatio, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CGraphWindow::SetCaptionShown(bool shown) {
    const QRect frame = geometry();
    setFlag(Qt::FramelessWindowHint, !shown);
    WatchVisibility();
    unsetCursor();  // a resize cursor belongs to our own border only
    // Changing decorations re-creates the frame on some window managers: keep the client area
    // exactly where it was.
    setGeometry(frame);
}

void CGraphWindow::exposeEvent(QExposeEvent*) {
    if (isExposed()) {
        emit Exposed();
    }
}

void CGraphWindow::resizeEvent(QResizeEvent*) {
    emit Resized(width(), height());
}

void CGraphWindow::moveEvent(QMoveEvent*) {
    emit Moved(x(), y());
}

unsigned CGraphWindow::EdgesAt(const QPointF& pos) const {
    // With a caption the window manager's frame does the resizing.
    if (!(flags() & Qt::FramelessWindowHint)) {
        return kEdgeNone;
    }
    // The pixel under the pointer, also where positions come in fractions (scaled screens).
    return ResizeEdgesAt(static_cast<int>(std::floor(pos.x())),
                         static_cast<int>(std::floor(pos.y())), width(), height());
}

void CGraphWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const unsigned edges = EdgesAt(event->position());
        if (edges != kEdgeNone) {
            leftPressed_ = false;
            startSystemResize(ToQtEdges(edges));
            return;
        }
        // The move starts once the pointer leaves the press point, so a double click still
        // reaches us instead of the window manager's move loop.
        pressPos_ = event->globalPosition().toPoint();
        leftPressed_ = true;
    } else if (event->button() == Qt::RightButton) {
        emit MenuRequested(event->globalPosition().toPoint());
    }
}

void CGraphWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) {
        const Qt::CursorShape shape = CursorFor(EdgesAt(event->position()));
        if (cursor().shape() != shape) {
            setCursor(shape);
        }
        return;
    }
    if (leftPressed_ && (event->buttons() & Qt::LeftButton) &&
        (event->globalPosition().toPoint() - pressPos_).manhattanLength() >=
            QGuiApplication::styleHints()->startDragDistance()) {
        leftPressed_ = false;
        startSystemMove();
    }
}

void CGraphWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = false;
    }
}

void CGraphWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit ToggleRequested();
    }
}

void CGraphWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        emit HelpRequested();
    }
}
