#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "webstats/WebStatsUpload.h"

// Time limits and trust for the uploads. A server that stops answering ends as a log line
// within these limits.
struct FtpOptions {
    long connectTimeoutMs = 20000;   // until logged in, and for each answer of the server
    long transferTimeoutMs = 60000;  // each file, including its rename
    std::string caFile;              // certificates to trust for ftps://; empty: the system's
};

// What went wrong with a request, as libcurl tells it.
struct FtpFailure {
    CURLcode code = CURLE_OK;
    long reply = 0;              // the server's last reply code; 0 when it gave none
    bool hostFound = true;       // the host name had been looked up
    bool pastTotalTime = false;  // the request ran into the time limit of a whole file
    std::string detail;          // libcurl's own words
};

// One plain sentence that says what happened and what to check, e.g. "The server refused the
// login (530): check the user name and password."
std::string FtpFailureText(const FtpFailure& failure, const FtpHost& host, long port,
                           const FtpOptions& options);

// An FTP session through libcurl. The connection is made by the first Put and kept for the
// next ones. Each file goes up under a temporary name and is renamed in place, so nobody ever
// sees a half-written page.
class CCurlFtpSession final : public FtpSession {
public:
    // `cancelled` is watched during every request: setting it ends the session within about a
    // second. The flag must outlive the session.
    CCurlFtpSession(const WebStatsValues& settings, const FtpOptions& options,
                    const std::atomic<bool>& cancelled);
    // Closes the connection without waiting for the server's goodbye.
    ~CCurlFtpSession() override;
    CCurlFtpSession(const CCurlFtpSession&) = delete;
    CCurlFtpSession& operator=(const CCurlFtpSession&) = delete;

    PutResult Put(const std::string& localPath, const std::string& remoteName,
                  std::string& error) override;

    // Sets libcurl up for the process; call once on the main thread before any session.
    static void GlobalInit();

private:
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    // One request on the connection: the commands of `before`, then the upload of `file` to
    // `url` (none when null: `url` then names the folder), then the commands of `after`. A
    // command starting with "*" may fail.
    CURLcode Perform(const std::string& url, std::FILE* file,
                     const std::vector<std::string>& before, const std::vector<std::string>& after);
    FtpFailure Failure(CURLcode code) const;

    CURL* curl_;
    FtpHost host_;
    long port_;
    FtpOptions options_;
    const std::atomic<bool>& cancelled_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};
