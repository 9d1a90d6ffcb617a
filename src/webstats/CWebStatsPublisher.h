#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "persistence/CDataFolder.h"
#include "platform/LocalClock.h"
#include "platform/LocaleTexts.h"
#include "webstats/CCurlFtpSession.h"
#include "webstats/CWebStats.h"

// Starts the statistics page uploads on a worker thread. The caller (the per-frame update)
// never waits for one: the page is put together at once from the model's figures, the writing
// and sending happen on the worker, and the result arrives as a line in the model's log.
class CWebStatsPublisher {
public:
    // The page file goes to the data folder, the pictures come from the program folder's gfx/.
    // Everything given must outlive the publisher.
    CWebStatsPublisher(CWebStats& model, const CDataFolder& folder, const LocalClock& localClock,
                       const LocaleTexts& texts);
    // Cancels a running upload and waits for its thread.
    ~CWebStatsPublisher();
    CWebStatsPublisher(const CWebStatsPublisher&) = delete;
    CWebStatsPublisher& operator=(const CWebStatsPublisher&) = delete;

    // For the uploads started from now on.
    void SetOptions(FtpOptions options);

    // Starts an upload when the model gives one the go-ahead (WebStats on, due, none running).
    // True when one was started.
    bool Start();

    // Cancels a running upload and waits for its thread, which ends within about a second.
    void Stop();

private:
    void Run(const UploadJob& job, const FtpOptions& options);

    CWebStats& model_;
    CDataFolder folder_;
    const LocalClock& localClock_;
    const LocaleTexts& texts_;
    FtpOptions options_;

    std::thread worker_;
    std::atomic<bool> cancelled_{false};
};
