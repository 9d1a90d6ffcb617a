#pragma once

#include <cstdint>

class CTrafficHistory;
class MsClock;

// One reading of the stopwatch: amounts in KB, average speeds in KB/s over the running time.
struct StopwatchReading {
    double downloadedKB = 0.0;
    double uploadedKB = 0.0;
    double downloadRate = 0.0;
    double uploadRate = 0.0;
    std::uint64_t elapsedMs = 0;
};

// Counts the growth of the history's session totals, and the time, while it runs. Time and
// traffic while paused are not counted.
class CTrafficStopwatch {
public:
    // The history and the clock must outlive the stopwatch.
    CTrafficStopwatch(const CTrafficHistory& source, const MsClock& clock);

    // Starts counting from now; after a pause it resumes, keeping what was counted.
    void Start();
    // Stops counting. Query first, or what came in since the last query is not counted.
    void Pause();
    // Back to nothing counted, not running.
    void Reset();

    // Brings the counts up to date while running and reads them.
    StopwatchReading Query();
    // The download counted so far in KB, brought up to date while running.
    double DownloadedSoFar();

    bool IsRunning() const { return running_; }

private:
    void CatchUpDownload();

    const CTrafficHistory& source_;
    const MsClock& clock_;
    bool running_ = false;
    // 64-bit: the clock wraps after 49.7 days, the running time must not.
    std::uint64_t elapsedMs_ = 0;
    std::uint32_t lastClock_ = 0;
    double downloaded_ = 0.0;  // MB
    double downloadBaseline_ = 0.0;
    double uploaded_ = 0.0;
    double uploadBaseline_ = 0.0;
};
