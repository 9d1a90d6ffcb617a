#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "app/ToolWindows.h"

// The one open instance of a tool window. Opening again brings the open window to the front
// instead of making a second one; the window deletes itself when it closes, however it closes,
// and the slot is then empty.
template <typename Window>
class CToolWindowSlot {
public:
    CToolWindowSlot() = default;
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
    QPointer<Window> window_;
};
