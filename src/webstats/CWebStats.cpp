#include "webstats/CWebStats.h"

#include <utility>

#include "core/TrimSpace.h"

namespace {

WebStatsValues ReadTrimmed(const CDataFolder& folder) {
    WebStatsValues values;
    ReadWebStatsFile(folder, values);
    // The password is kept exactly as typed: spaces at its ends may belong to it.
    for (std::string* text :
         {&values.hostName, &values.remotePath, &values.pageFileName, &values.userName}) {
        *text = std::string(TrimSpace(*text));
    }
    return values;
}

}  // namespace

CWebStats::CWebStats(const CDataFolder& folder, const MsClock& msClock,
                     const LocalClock& localClock)
    : folder_(folder),
      msClock_(msClock),
      localClock_(localClock),
      settings_(ReadTrimmed(folder_)),
      lastUploadTime_(msClock.NowMs()),
      start_(localClock.Now()),
      quarters_(start_),
      lastClockReading_(lastUploadTime_) {}

std::uint64_t CWebStats::NowLocked() const {
    const std::uint32_t reading = msClock_.NowMs();
    elapsedSinceStart_ += MsElapsed(lastClockReading_, reading);
    lastClockReading_ = reading;
    return elapsedSinceStart_;
}

bool CWebStats::AddSample(double downloaded, double uploaded) {
    const LocalDateTime local = localClock_.Now();
    std::lock_guard lock(mutex_);
    samples_.Add(downloaded, uploaded, static_cast<double>(NowLocked()));
    quarters_.Update(local, downloaded, uploaded);
    session_ = {downloaded, uploaded};
    return MsPassed(msClock_.NowMs(), lastUploadTime_ + settings_.uploadInterval);
}

TrafficPair CWebStats::LastHourAmounts() const {
    std::lock_guard lock(mutex_);
    return samples_.Amounts();
}

TrafficPair CWebStats::AverageSpeed(std::uint32_t windowMs) const {
    std::lock_guard lock(mutex_);
    return samples_.AverageSpeed(static_cast<double>(NowLocked()), windowMs);
}

TrafficPair CWebStats::SessionAverage() const {
    std::lock_guard lock(mutex_);
    return SessionAverageLocked();
}

TrafficPair CWebStats::SessionAverageLocked() const {
    const std::uint64_t elapsed = NowLocked();
    if (elapsed == 0) {
        return {};
    }
    const double seconds = static_cast<double>(elapsed) / 1000.0;
    return {session_.download / seconds, session_.upload / seconds};
}

::QuarterAmount CWebStats::QuarterAmount(int hour, int quarter) const {
    std::lock_guard lock(mutex_);
    return quarters_.Amount(hour, quarter);
}

WebStatsFigures CWebStats::Figures() const {
    WebStatsFigures figures;
    std::lock_guard lock(mutex_);
    for (int hour = 0; hour < CQuarterTable::kHours; ++hour) {
        for (int quarter = 1; quarter <= CQuarterTable::kQuarters; ++quarter) {
            figures.quarters[hour][quarter - 1] = quarters_.Amount(hour, quarter);
        }
    }
    const double now = static_cast<double>(NowLocked());
    figures.session = session_;
    figures.sessionAverage = SessionAverageLocked();
    figures.lastHour = samples_.Amounts();
    figures.lastHourSpeed = samples_.AverageSpeed(now, kHourMs);
    figures.lastFiveMinutesSpeed = samples_.AverageSpeed(now, kFiveMinutesMs);
    figures.start = start_;
    return figures;
}

void CWebStats::AppendLog(std::string line) {
    {
        std::lock_guard lock(mutex_);
        AppendLogLocked(std::move(line));
    }
    NotifyLogListener();
}

void CWebStats::AppendLogLocked(std::string line) {
    messageLog_.push_back(std::move(line));
    ++linesAdded_;
    while (messageLog_.size() > kLogLimit) {
        messageLog_.pop_front();
    }
}

void CWebStats::NotifyLogListener() {
    std::function<void()> listener;
    {
        std::lock_guard lock(mutex_);
        listener = logListener_;
    }
    if (listener) {
        listener();
    }
}

std::vector<std::string> CWebStats::CopyLog(std::uint64_t* added) const {
    std::lock_guard lock(mutex_);
    if (added != nullptr) {
        *added = linesAdded_;
    }
    return {messageLog_.begin(), messageLog_.end()};
}

void CWebStats::SetLogListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    logListener_ = std::move(listener);
}

WebStatsValues CWebStats::Settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

bool CWebStats::Enabled() const {
    std::lock_guard lock(mutex_);
    return settings_.enabled;
}

void CWebStats::SetHostName(std::string value) {
    std::lock_guard lock(mutex_);
    settings_.hostName = std::move(value);
    imagesUploaded_ = false;
    ++locationEpoch_;
}

void CWebStats::SetRemotePath(std::string value) {
    std::lock_guard lock(mutex_);
    settings_.remotePath = std::move(value);
    imagesUploaded_ = false;
    ++locationEpoch_;
}

void CWebStats::SetPageFileName(std::string value) {
    std::lock_guard lock(mutex_);
    settings_.pageFileName = std::move(value);
}

void CWebStats::SetUserName(std::string value) {
    std::lock_guard lock(mutex_);
    settings_.userName = std::move(value);
}

void CWebStats::SetPassword(std::string value) {
    std::lock_guard lock(mutex_);
    settings_.password = std::move(value);
}

void CWebStats::SetPort(int value) {
    std::lock_guard lock(mutex_);
    settings_.port = value;
}

void CWebStats::SetUploadInterval(int milliseconds) {
    std::lock_guard lock(mutex_);
    settings_.uploadInterval = milliseconds;
}

void CWebStats::SetEnabled(bool value) {
    std::lock_guard lock(mutex_);
    settings_.enabled = value;
}

bool CWebStats::Save() const {
    return WriteWebStatsFile(folder_, Settings());
}

std::optional<UploadTicket> CWebStats::BeginUpload() {
    std::lock_guard lock(mutex_);
    if (!settings_.enabled ||
        !MsPassed(msClock_.NowMs(), lastUploadTime_ + settings_.uploadInterval)) {
        return std::nullopt;
    }
    lastUploadTime_ = msClock_.NowMs();
    if (uploadBusy_) {
        return std::nullopt;
    }
    uploadBusy_ = true;
    return UploadTicket{settings_, !imagesUploaded_, locationEpoch_};
}

void CWebStats::FinishUpload(const UploadTicket& ticket, bool imagesSent, std::string logLine) {
    const bool logged = !logLine.empty();
    {
        std::lock_guard lock(mutex_);
        if (imagesSent && ticket.locationEpoch == locationEpoch_) {
            imagesUploaded_ = true;
        }
        if (logged) {
            AppendLogLocked(std::move(logLine));
        }
        uploadBusy_ = false;
    }
    if (logged) {
        NotifyLogListener();
    }
}

bool CWebStats::ImagesUploaded() const {
    std::lock_guard lock(mutex_);
    return imagesUploaded_;
}

bool CWebStats::UploadBusy() const {
    std::lock_guard lock(mutex_);
    return uploadBusy_;
}
