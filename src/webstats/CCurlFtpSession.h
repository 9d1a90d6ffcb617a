#pragma once

#include <curl/curl.h>

#include <atomic>
#include <string>

#include "webstats/WebStatsUpload.h"

// Time limits and trust for the uploads. A server that stops answering ends as a log line
// within these limits.
struct FtpOptions {
    long connectTimeoutMs = 20000;   // until logged in
    long transferTimeoutMs = 60000;  // each file, including its rename
    std::string caFile;              // certificates to trust for ftps://; empty: the system's
};

// An FTP session through libcurl. The connection is made by the first Put and kept for the
// next ones. Each file goes up under a temporary name and is renamed in place, so nobody ever
// sees a half-written page.
class CCurlFtpSession final : public FtpSession {
public:
    // `cancelled` is watched during every transfer: setting it ends the session within about a
    // second.
    CCurlFtpSession(const WebStatsValues& settings, const FtpOptions& options,
                    const std::atomic<bool>& cancelled);
    ~CCurlFtpSession() override;
    CCurlFtpSession(const CCurlFtpSession&) = delete;
    CCurlFtpSession& operator=(const CCurlFtpSession&) = delete;

    PutResult Put(const std::string& localPath, const std::string& remoteName,
                  std::string& error) override;

    // Sets libcurl up for the process; call once on the main thread before any session.
    static void GlobalInit();

private:
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    std::string ErrorText(CURLcode code) const;

    CURL* curl_;
    FtpHost host_;
    const std::atomic<bool>& cancelled_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};
