#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "channel/MeterStatus.h"
#include "persistence/CDataFolder.h"

class CHourlyRecorder;
class CHourlyStore;
class CQuotaEarlyWarning;
class CSampleList;
class CTrafficHistory;
class CTrafficQuota;
class CTrafficSampler;
class CWebStats;
class CWebStatsPublisher;
class LocalClock;
class LocalZone;
class LocaleTexts;
class MsClock;
class UtcClock;

// The meter's data and the one way in for a sample: the sample list the graph draws, the traffic
// history, the quota (which reads the history) and WebStats each get every sample, and the
// history and the quota are saved at the end of the run. Each interface's hours go to the hourly
// store whenever the history saves. No window: the graph, the tray, the status channel and the
// tool windows read from here.
class CMeter {
public:
    // Runs a task later on the thread that owns the meter (the upload's thread hands its log
    // lines over through it).
    using Post = std::function<void(std::function<void()> task)>;

    struct Services {
        CTrafficSampler& sampler;
        const MsClock& msClock;
        const LocalClock& localClock;
        const LocalZone& zone;     // the hours' local dates
        const UtcClock& utcClock;  // the hours' moments
        const LocaleTexts& texts;  // the user's language, for the WebStats page
        Post post;
    };

    // Loads the history, the quota and WebStats from `folder`, where every save goes too, and
    // opens the hourly store there; without it (see HourlyStore().Outcome()) the rest runs on.
    // The services must outlive the meter.
    CMeter(const Services& services, CDataFolder folder);
    ~CMeter();
    CMeter(const CMeter&) = delete;
    CMeter& operator=(const CMeter&) = delete;

    // Takes a sample of the traffic and hands it to all that keep one; an upload of WebStats
    // may start (it runs on its own thread).
    void TakeSample();
    // Takes a last sample of the traffic into the history, then saves the history and the
    // quota: every orderly end of the run does this (exit, signals, the session's end).
    void SaveDataFiles();
    // Cancels a running upload and cuts its thread loose; no upload starts after.
    void StopUploads();

    // The latest speeds (KB/s).
    double DownloadRate() const { return downloadRate_; }
    double UploadRate() const { return uploadRate_; }
    // The figures a status client asks for, from what the graph, the history and the quota hold.
    MeterStatus Status() const;

    const CDataFolder& Folder() const { return folder_; }
    CSampleList& Samples() { return *samples_; }
    CTrafficHistory& History() { return *history_; }
    CTrafficQuota& Quota() { return *quota_; }
    CQuotaEarlyWarning& QuotaEarlyWarning() { return *quotaEarlyWarning_; }
    CWebStats& WebStats() { return *webStats_; }
    CWebStatsPublisher& WebStatsPublisher() { return *webStatsPublisher_; }
    // Read-only for the windows; not open when Outcome() is Failed.
    const CHourlyStore& HourlyStore() const { return *hourlyStore_; }

private:
    void RecordTotals(double& downloaded, double& uploaded);

    CTrafficSampler& sampler_;
    CDataFolder folder_;
    std::unique_ptr<CSampleList> samples_;
    std::unique_ptr<CTrafficHistory> history_;
    std::unique_ptr<CTrafficQuota> quota_;
    std::unique_ptr<CQuotaEarlyWarning> quotaEarlyWarning_;
    std::unique_ptr<CWebStats> webStats_;
    std::unique_ptr<CWebStatsPublisher> webStatsPublisher_;
    std::unique_ptr<CHourlyStore> hourlyStore_;
    std::unique_ptr<CHourlyRecorder> hourlyRecorder_;  // hooked only while the store is open
    double downloadRate_ = 0.0;
    double uploadRate_ = 0.0;
};
