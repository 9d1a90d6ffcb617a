#pragma once

#include <QAbstractNativeEventFilter>
#include <QWindow>

#include <cstdint>
#include <memory>

class QOpenGLContext;

// The graph window: a small always-on-top tool window whose whole area is one double-buffered
// OpenGL surface (RGB without alpha, so it is opaque under a compositor; 16-bit depth) with the
// fixed state the graph relies on and a projection of one unit per pixel, y growing downwards.
// Without a caption, a thin border inside its edges resizes it and the rest of it moves it. It
// turns input into signals for the main frame, and tells when other windows cover all of it.
class CGraphWindow : public QWindow, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    CGraphWindow();
    ~CGraphWindow() override;

    // Creates the native window and the GL context and makes it current. On failure returns
    // false with the user-facing reason in `error`.
    bool CreateGL(QString& error);
    bool MakeCurrent();
    // Shows the frame just drawn, when the window is exposed.
    void SwapBuffers();
    // Frames shown so far.
    std::uint64_t SwapCount() const { return swapCount_; }
    // Releases the context (made current first so GL objects can be freed by the caller before).
    void KillGL();
    QOpenGLContext* Context() const { return context_.get(); }

    // Applies the one-unit-per-pixel projection for a client size (a height of 0 counts as 1):
    // units are the window's pixels, the viewport its device pixels, `pixelRatio` per pixel.
    static void ResizeGL(int width, int height, double pixelRatio = 1.0);

    void SetCaptionShown(bool shown);

    // Whether other windows cover all of it (as the X server says; never under a compositor,
    // which may show the window anyway).
    bool FullyCovered() const { return fullyCovered_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void Resized(int width, int height);
    void Moved(int x, int y);
    void MenuRequested(const QPoint& globalPos);
    void ToggleRequested();
    void HelpRequested();
    void Exposed();

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static void InitGLState();
    // The edges (ResizeEdge bits) a left press at `pos` (window coordinates) resizes; none with
    // a caption, whose frame resizes the window instead.
    unsigned EdgesAt(const QPointF& pos) const;
    void KeepOffTaskbar();
    // Asks the X server to tell when the window is covered and uncovered.
    void WatchVisibility();
    std::unique_ptr<QOpenGLContext> context_;
    QPoint pressPos_;
    bool leftPressed_ = false;
    std::uint64_t swapCount_ = 0;
    bool fullyCovered_ = false;
};
