#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

#include "app/ToolWindows.h"

// The one open instance of a tool window. Opening again brings the open window to the front
// instead of making a second one; the window deletes itself when it closes, however it closes,
// and the slot is then empty. `afterClose`, when given, runs once the event loop is back after a
// closed window was deleted, so that whatever the window freed can be given back.
template <typename Window>
class CToolWindowSlot {
public:
    explicit CToolWindowSlot(std::function<void()> afterClose = {})
        : afterClose_(std::move(afterClose)) {}
    CToolWindowSlot(const CToolWindowSlot&) = delete;
    CToolWindowSlot& operator=(const CToolWindowSlot&) = delete;
    ~CToolWindowSlot() { Destroy(); }

    // Shows the open window, or the one `make` creates when none is open, where the graph
    // window (its frame `graph`; empty when it is not shown) does not cover it.
    template <typename Factory>
    Window* Open(Factory&& make, const QRect& graph = QRect()) {
        const bool opening = window_ == nullptr;
        if (opening) {
            window_ = make();
            window_->setAttribute(Qt::WA_DeleteOnClose);
            if (afterClose_) {
                // Queued: `destroyed` comes while the window's members are still being freed.
                QObject::connect(window_, &QObject::destroyed,
                                 [after = afterClose_] { QTimer::singleShot(0, after); });
            }
            FitToolWindow(*window_);
        }
        PlaceToolWindow(*window_, graph, opening);
        window_->show();
        window_->raise();
        window_->activateWindow();
        return window_;
    }

    Window* Get() const { return window_.data(); }
    bool IsOpen() const { return window_ != nullptr; }

    // Deletes the open window at once (at shutdown, while what it observes still exists).
    void Destroy() { delete window_.data(); }

private:
    std::function<void()> afterClose_;
    QPointer<Window> window_;
};
