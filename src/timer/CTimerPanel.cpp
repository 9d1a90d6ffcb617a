#include "timer/CTimerPanel.h"

#include "core/Formatters.h"

namespace {

// Pausing while paused resumes only once some download was counted.
constexpr double kResumeThresholdKB = 0.0001;

}  // namespace

CTimerPanel::CTimerPanel(const CTrafficHistory& history, const MsClock& clock)
    : stopwatch_(history, clock) {
    Refresh();
}

void CTimerPanel::Refresh() {
    const StopwatchReading reading = stopwatch_.Query();
    figures_.downloaded = StopwatchAmountText(reading.downloadedKB);
    figures_.uploaded = StopwatchAmountText(reading.uploadedKB);
    figures_.downloadRate = StopwatchRateText(reading.downloadRate);
    figures_.uploadRate = StopwatchRateText(reading.uploadRate);
    figures_.elapsed = ElapsedText(reading.elapsedMs);
}

void CTimerPanel::PressStart() {
    Refresh();
    if (stopwatch_.IsRunning()) {
        startCaption_ = kStart;
        return;
    }
    startCaption_ = kStop;
    stopwatch_.Start();
    state_ = kRunning;
}

void CTimerPanel::PressPause() {
    Refresh();  // counts everything up to now before the pause
    if (stopwatch_.IsRunning()) {
        stopwatch_.Pause();
        state_ = kPaused;
    } else if (stopwatch_.DownloadedSoFar() > kResumeThresholdKB) {
        stopwatch_.Start();
        state_ = kRunning;
    }
}

void CTimerPanel::PressReset() {
    stopwatch_.Pause();
    stopwatch_.Reset();
    state_ = kStopped;
    startCaption_ = kStart;
    // The zeros show at once rather than at the next periodic refresh.
    Refresh();
}
