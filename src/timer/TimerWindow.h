#pragma once

#include <QDialog>

#include <memory>

#include "timer/CTimerPanel.h"

namespace Ui {
class TimerWindow;
}

// The traffic stopwatch's window: how much came and went while it ran, the average speeds, the
// running time and the state, with Start, Pause and Reset buttons. The measurement lives and dies
// with the window.
class TimerWindow : public QDialog {
    Q_OBJECT
public:
    // The history and the clock must outlive the window.
    TimerWindow(const CTrafficHistory& history, const MsClock& clock, QWidget* parent = nullptr);
    ~TimerWindow() override;

    // Shows the stopwatch's figures as of now; the per-frame update calls it periodically.
    void Refresh();

private:
    void LoadPictures();
    void ShowPanel();

    std::unique_ptr<Ui::TimerWindow> ui_;
    CTimerPanel panel_;
};
