#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/CObservable.h"
#include "persistence/CDataFolder.h"
#include "persistence/CWebStatsFile.h"
#include "platform/LocalClock.h"
#include "platform/MsClock.h"
#include "webstats/CQuarterTable.h"
#include "webstats/CSampleWindow.h"

// What the statistics page shows, taken at one moment.
struct WebStatsFigures {
    // [hour][quarter - 1], 0 and 0 where nothing is recorded.
    std::array<std::array<QuarterAmount, CQuarterTable::kQuarters>, CQuarterTable::kHours>
        quarters{};
    TrafficPair session;         // MB since the program started
    TrafficPair sessionAverage;  // MB/s since the model was made
    TrafficPair lastHour;        // MB
    TrafficPair lastHourSpeed;   // MB/s
    TrafficPair lastFiveMinutesSpeed;
    LocalDateTime start;  // local time the model was made
};

// The go-ahead for one upload, with the settings it uses. Only one exists at a time.
struct UploadTicket {
    WebStatsValues settings;
    bool sendImages = false;          // the pictures are not on the server yet
    std::uint64_t locationEpoch = 0;  // host and remote path as of the ticket
};

// The WebStats model: the upload settings, the traffic figures of the page (samples of the last
// hour, traffic per quarter hour, session averages), the message log, and when an upload is due.
//
// The figures and settings are kept on the user-interface thread; the upload's own thread only
// finishes its ticket and adds its log line. Everything shared is behind one mutex, held for
// short copies only, so a busy upload never loses a line and never holds up a frame.
class CWebStats : public CObservable {
public:
    static constexpr std::size_t kLogLimit = 20;
    static constexpr std::uint32_t kHourMs = 3600000;
    static constexpr std::uint32_t kFiveMinutesMs = 300000;

    // Reads "webstats.dat" (writing a default one when it is missing). The clocks must outlive
    // the model.
    CWebStats(const CDataFolder& folder, const MsClock& msClock, const LocalClock& localClock);

    // Takes the sampler's running totals (MB since start) after each sample. True when an
    // upload is due: an interval has passed since the last one began. Whether WebStats is on is
    // BeginUpload's question.
    bool AddSample(double downloaded, double uploaded);

    TrafficPair LastHourAmounts() const;
    TrafficPair AverageSpeed(std::uint32_t windowMs) const;
    TrafficPair SessionAverage() const;
    ::QuarterAmount QuarterAmount(int hour, int quarter) const;
    WebStatsFigures Figures() const;

    // Adds a line to the log, dropping the oldest beyond 20, then calls the log listener. Safe
    // from any thread.
    void AppendLog(std::string line);
    // The log, oldest first. `added` receives how many lines were ever added, so a reader can
    // tell which lines it has not seen yet.
    std::vector<std::string> CopyLog(std::uint64_t* added = nullptr) const;
    // Called on the thread that added a log line, after it was added. The owner brings the news
    // to the user-interface thread and calls NotifyAll there: observers are never called from
    // the upload's thread. Set it before the first upload.
    void SetLogListener(std::function<void()> listener);

    WebStatsValues Settings() const;
    bool Enabled() const;
    // A new host or remote path means the pictures must go up again.
    void SetHostName(std::string value);
    void SetRemotePath(std::string value);
    void SetPageFileName(std::string value);
    void SetUserName(std::string value);
    void SetPassword(std::string value);
    void SetPort(int value);
    void SetUploadInterval(int milliseconds);
    void SetEnabled(bool value);
    // Writes the settings to "webstats.dat". False when that failed.
    bool Save() const;

    // Starts an upload if WebStats is on, an interval has passed since the last one began and
    // none is running. Each attempt that finds one running still moves the next one an interval
    // on. The ticket must be given back to FinishUpload.
    std::optional<UploadTicket> BeginUpload();
    // Ends the upload of `ticket`: the pictures count as uploaded if they went up to a location
    // that has not changed since, and the log line (if any) is added.
    void FinishUpload(const UploadTicket& ticket, bool imagesSent, std::string logLine);

    bool ImagesUploaded() const;
    bool UploadBusy() const;

private:
    // The millisecond clock widened to 64 bits, so the figures survive its wrap after 49.7
    // days. Called with the mutex held, at least once per wrap (every sample calls it).
    std::uint64_t NowLocked() const;
    TrafficPair SessionAverageLocked() const;
    void AppendLogLocked(std::string line);
    void NotifyLogListener();

    CDataFolder folder_;
    const MsClock& msClock_;
    const LocalClock& localClock_;

    mutable std::mutex mutex_;
    WebStatsValues settings_;
    bool imagesUploaded_ = false;
    std::uint64_t locationEpoch_ = 0;
    bool uploadBusy_ = false;
    std::uint32_t lastUploadTime_;
    std::deque<std::string> messageLog_;
    std::uint64_t linesAdded_ = 0;
    std::function<void()> logListener_;

    LocalDateTime start_;
    CQuarterTable quarters_;
    CSampleWindow samples_;
    TrafficPair session_;
    mutable std::uint32_t lastClockReading_;
    mutable std::uint64_t elapsedSinceStart_ = 0;
};
