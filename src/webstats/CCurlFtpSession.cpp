#include "webstats/CCurlFtpSession.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>

#include "persistence/CWebStatsFile.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct ListFreer {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// The server took the connection and the login but not this file.
bool IsRefusal(CURLcode code) {
    switch (code) {
        case CURLE_UPLOAD_FAILED:         // STOR refused (no such folder, no permission)
        case CURLE_REMOTE_ACCESS_DENIED:  // folder refused
        case CURLE_QUOTE_ERROR:           // rename refused
        case CURLE_REMOTE_DISK_FULL:
        case CURLE_REMOTE_FILE_NOT_FOUND:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CCurlFtpSession::GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CCurlFtpSession::CCurlFtpSession(const WebStatsValues& settings, const FtpOptions& options,
                                 const std::atomic<bool>& cancelled)
    : curl_(curl_easy_init()), host_(ParseFtpHost(settings.hostName)), cancelled_(cancelled) {
    if (curl_ == nullptr) {
        return;
    }
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl_, CURLOPT_USERAGENT, "Tallyglass/1.0");
    curl_easy_setopt(curl_, CURLOPT_USERNAME, settings.userName.c_str());
    curl_easy_setopt(curl_, CURLOPT_PASSWORD, settings.password.c_str());
    // A 16-bit port, as the field allows 65536: 0 (and so 65536) means the usual FTP port.
    const long port = static_cast<long>(static_cast<std::uint16_t>(settings.port));
    if (port != 0) {
        curl_easy_setopt(curl_, CURLOPT_PORT, port);
    }
    // Passive mode: the client opens the data connection, which works from behind the NAT
    // routers and firewalls nearly every desktop sits behind; active mode would need the server
    // to connect back in.
    curl_easy_setopt(curl_, CURLOPT_FTPPORT, nullptr);
    curl_easy_setopt(curl_, CURLOPT_FTP_USE_EPSV, 1L);
    // Binary: pictures must arrive byte for byte, and the page keeps its line ends.
    curl_easy_setopt(curl_, CURLOPT_TRANSFERTEXT, 0L);
    // Paths as given, without walking folders: "/stats/x" from the root, "x" in the login folder.
    curl_easy_setopt(curl_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, options.transferTimeoutMs);
    // A server that stops answering a command.
#if LIBCURL_VERSION_NUM >= 0x080600
    curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT_MS, options.connectTimeoutMs);
#else
    curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     std::max(1L, options.connectTimeoutMs / 1000));
#endif
    // No signals on a worker thread (time-outs then need the threaded resolver, which Debian's
    // libcurl has).
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &CCurlFtpSession::OnProgress);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
    if (host_.tls) {
        // The login and the files are encrypted or nothing is sent; the certificate is checked.
        curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!options.caFile.empty()) {
            curl_easy_setopt(curl_, CURLOPT_CAINFO, options.caFile.c_str());
        }
    }
}

CCurlFtpSession::~CCurlFtpSession() {
    if (curl_ != nullptr) {
        curl_easy_cleanup(curl_);
    }
}

int CCurlFtpSession::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CCurlFtpSession*>(self)->cancelled_.load() ? 1 : 0;
}

std::string CCurlFtpSession::ErrorText(CURLcode code) const {
    return errorBuffer_[0] != '\0' ? std::string(errorBuffer_) : curl_easy_strerror(code);
}

PutResult CCurlFtpSession::Put(const std::string& localPath, const std::string& remoteName,
                               std::string& error) {
    if (curl_ == nullptr) {
        error = "Could not start an FTP session";
        return PutResult::Failed;
    }
    if (cancelled_.load()) {
        error = "The upload was cancelled";
        return PutResult::Failed;
    }
    // A line break would end the FTP command early and start another.
    if (!IsOneLine(remoteName)) {
        return PutResult::Refused;
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(localPath.c_str(), "rb"));
    if (!file) {
        return PutResult::Refused;
    }
    std::fseek(file.get(), 0, SEEK_END);
    const long size = std::ftell(file.get());
    std::rewind(file.get());

    const std::string partName = remoteName + ".part";
    std::unique_ptr<curl_slist, ListFreer> rename(
        curl_slist_append(nullptr, ("RNFR " + partName).c_str()));
    curl_slist_append(rename.get(), ("RNTO " + remoteName).c_str());

    errorBuffer_[0] = '\0';
    curl_easy_setopt(curl_, CURLOPT_URL, FtpUrl(host_, partName).c_str());
    curl_easy_setopt(curl_, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl_, CURLOPT_READDATA, file.get());
    curl_easy_setopt(curl_, CURLOPT_INFILESIZE_LARGE,
                     static_cast<curl_off_t>(size < 0 ? -1 : size));
    curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, rename.get());
    const CURLcode code = curl_easy_perform(curl_);
    curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, nullptr);
    curl_easy_setopt(curl_, CURLOPT_READDATA, nullptr);

    if (code == CURLE_OK) {
        return PutResult::Sent;
    }
    if (IsRefusal(code)) {
        return PutResult::Refused;
    }
    error = code == CURLE_ABORTED_BY_CALLBACK ? std::string("The upload was cancelled")
                                              : ErrorText(code);
    return PutResult::Failed;
}
