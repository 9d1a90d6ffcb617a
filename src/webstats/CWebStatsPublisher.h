#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "persistence/CDataFolder.h"
#include "platform/LocalClock.h"
#include "platform/LocaleTexts.h"
#include "webstats/CCurlFtpSession.h"
#include "webstats/CWebStats.h"

// Starts the statistics page uploads on a worker thread. Nobody ever waits for one: the page is
// put together at once from the model's figures, the writing and sending happen on the worker,
// and the result arrives as a line in the model's log. Closing never waits either: a worker
// still held by the network is cut loose, owning all it still needs, and ends by itself.
class CWebStatsPublisher {
public:
    // The page file goes to the data folder, the pictures come from the program folder's gfx/.
    // Everything given must outlive the publisher (not its workers).
    CWebStatsPublisher(CWebStats& model, const CDataFolder& folder, const LocalClock& localClock,
                       const LocaleTexts& texts);
    // Cancels a running upload without waiting for it; the model counts it as ended, not done.
    ~CWebStatsPublisher();
    CWebStatsPublisher(const CWebStatsPublisher&) = delete;
    CWebStatsPublisher& operator=(const CWebStatsPublisher&) = delete;

    // For the uploads started from now on.
    void SetOptions(FtpOptions options);

    // Starts an upload when the model gives one the go-ahead (WebStats on, due, none running).
    // True when one was started.
    bool Start();

    // Upload workers of the process still running, cut loose or not.
    static int WorkersRunning() { return workersRunning_.load(); }

private:
    // What the publisher and its workers share; the last of them to go frees it.
    struct Shared {
        std::atomic<bool> cancelled{false};
        std::mutex mutex;                    // guards the two below
        CWebStats* model = nullptr;          // none once the publisher is gone
        std::optional<UploadTicket> ticket;  // of the upload not yet handed back to the model
    };

    static void Run(const std::shared_ptr<Shared>& shared, const UploadJob& job,
                    const FtpOptions& options);

    static inline std::atomic<int> workersRunning_{0};

    CWebStats& model_;
    CDataFolder folder_;
    const LocalClock& localClock_;
    const LocaleTexts& texts_;
    FtpOptions options_;
    std::shared_ptr<Shared> shared_;
};
