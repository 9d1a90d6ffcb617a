#pragma once

#include <string>

#include "core/Translatable.h"
#include "timer/CTrafficStopwatch.h"

// The figures the Timer window shows, as texts.
struct TimerFigures {
    std::string downloaded;
    std::string uploaded;
    std::string downloadRate;
    std::string uploadRate;
    std::string elapsed;

    friend bool operator==(const TimerFigures&, const TimerFigures&) = default;
};

// What the Timer window shows and what its three buttons do, without the widgets: the window
// forwards each press and shows the texts read back here (the state and the caption in English,
// which the window translates).
class CTimerPanel {
public:
    static constexpr const char* kRunning = TRANSLATABLE("TimerWindow", "Running");
    static constexpr const char* kPaused = TRANSLATABLE("TimerWindow", "Paused");
    static constexpr const char* kStopped = TRANSLATABLE("TimerWindow", "Stopped");
    static constexpr const char* kStart = TRANSLATABLE("TimerWindow", "Start");
    static constexpr const char* kStop = TRANSLATABLE("TimerWindow", "Stop");

    // The history and the clock must outlive the panel.
    CTimerPanel(const CTrafficHistory& history, const MsClock& clock);

    // Reads the stopwatch and rewrites the figures.
    void Refresh();

    void PressStart();
    void PressPause();
    void PressReset();

    const TimerFigures& Figures() const { return figures_; }
    // "Running", "Paused" or "Stopped".
    const std::string& State() const { return state_; }
    // The Start button's name: "Stop" after it started the stopwatch, else "Start".
    const std::string& StartCaption() const { return startCaption_; }

private:
    CTrafficStopwatch stopwatch_;
    TimerFigures figures_;
    std::string state_ = kStopped;
    std::string startCaption_ = kStart;
};
