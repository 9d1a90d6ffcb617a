#pragma once

#include <QObject>
#include <QTimer>

#include "runloop/CFrameLoop.h"

// Wakes the run loop when it asks: a single-shot precise timer is armed for the moment the loop
// names, and the event loop sleeps until then or until an event. Anything that happens to the
// program's windows (input, showing, hiding, exposing, resizing) wakes it at once, so the frames
// catch up with the present and the loop plans again from there. The timer keeps firing inside
// nested event loops (menus, window moves, message boxes), so the graph never stops.
class CLoopWaker : public QObject {
    Q_OBJECT
public:
    explicit CLoopWaker(CFrameLoop& loop);
    // Stops waking the loop.
    ~CLoopWaker() override;

    // Starts the loop now and wakes it from the event loop from then on.
    void Start();
    // Wakes the loop at once, for a change that reaches the program outside its windows.
    void WakeSoon();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTimer();
    void Arm(CFrameLoop::Clock::time_point wake);

    CFrameLoop& loop_;
    QTimer timer_;
    bool waking_ = false;
};
