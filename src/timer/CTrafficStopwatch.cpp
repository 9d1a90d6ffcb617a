#include "timer/CTrafficStopwatch.h"

#include "core/Units.h"
#include "persistence/CTrafficHistory.h"
#include "platform/MsClock.h"

namespace {

// KB/s over the running time; nothing counted or no time yet reads 0.
double AverageRate(double megabytes, std::uint64_t elapsedMs) {
    if (elapsedMs == 0 || megabytes == 0.0) {
        return 0.0;
    }
    return megabytes / (static_cast<double>(elapsedMs) * 0.001) * kKBPerMB;
}

}  // namespace

CTrafficStopwatch::CTrafficStopwatch(const CTrafficHistory& source, const MsClock& clock)
    : source_(source), clock_(clock) {}

void CTrafficStopwatch::Start() {
    downloadBaseline_ = source_.SessionDownload();
    uploadBaseline_ = source_.SessionUpload();
    lastClock_ = clock_.NowMs();
    running_ = true;
}

void CTrafficStopwatch::Pause() {
    running_ = false;
}

void CTrafficStopwatch::Reset() {
    running_ = false;
    elapsedMs_ = 0;
    lastClock_ = 0;
    downloaded_ = downloadBaseline_ = 0.0;
    uploaded_ = uploadBaseline_ = 0.0;
}

StopwatchReading CTrafficStopwatch::Query() {
    if (running_) {
        const std::uint32_t now = clock_.NowMs();
        elapsedMs_ += MsElapsed(lastClock_, now);
        lastClock_ = now;
        CatchUpDownload();
        const double upload = source_.SessionUpload();
        uploaded_ += upload - uploadBaseline_;
        uploadBaseline_ = upload;
    }
    StopwatchReading reading;
    reading.downloadedKB = downloaded_ * kKBPerMB;
    reading.uploadedKB = uploaded_ * kKBPerMB;
    reading.downloadRate = AverageRate(downloaded_, elapsedMs_);
    reading.uploadRate = AverageRate(uploaded_, elapsedMs_);
    reading.elapsedMs = elapsedMs_;
    return reading;
}

double CTrafficStopwatch::DownloadedSoFar() {
    if (running_) {
        CatchUpDownload();
    }
    return downloaded_ * kKBPerMB;
}

void CTrafficStopwatch::CatchUpDownload() {
    const double download = source_.SessionDownload();
    downloaded_ += download - downloadBaseline_;
    downloadBaseline_ = download;
}
