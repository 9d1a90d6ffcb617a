#include "webstats/CCurlFtpSession.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

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

std::unique_ptr<curl_slist, ListFreer> CommandList(const std::vector<std::string>& commands) {
    curl_slist* list = nullptr;
    for (const std::string& command : commands) {
        list = curl_slist_append(list, command.c_str());
    }
    return std::unique_ptr<curl_slist, ListFreer>(list);
}

// The folder part of a remote name, with its trailing "/": "/stats/" of "/stats/index.html",
// nothing of "index.html" (the login folder).
std::string FolderOf(const std::string& remoteName) {
    const std::size_t slash = remoteName.rfind('/');
    return slash == std::string::npos ? std::string() : remoteName.substr(0, slash + 1);
}

std::string Seconds(long ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(ms) / 1000.0);
    return text;
}

}  // namespace

std::string FtpFailureText(const FtpFailure& failure, const FtpHost& host, long port,
                           const FtpOptions& options) {
    const std::string& name = host.name;
    const std::string where = name + " port " + std::to_string(port);
    switch (failure.code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            return "Could not resolve host " + name + ": check the host name.";
        case CURLE_COULDNT_CONNECT:
            return "Could not connect to " + where +
                   ": check the host name and the port, and that the server is running.";
        case CURLE_LOGIN_DENIED:
            return "The server refused the login" +
                   (failure.reply > 0 ? " (" + std::to_string(failure.reply) + ")"
                                      : std::string()) +
                   ": check the user name and password.";
        case CURLE_OPERATION_TIMEDOUT:
            if (!failure.hostFound) {
                return "Looking up host " + name + " took longer than " +
                       Seconds(options.connectTimeoutMs) + ": check the host name and the network.";
            }
            if (failure.pastTotalTime) {
                return "A file took longer than " + Seconds(options.transferTimeoutMs) +
                       " to upload: check the network.";
            }
            return "The server did not answer within " + Seconds(options.connectTimeoutMs) + ".";
        case CURLE_PEER_FAILED_VERIFICATION:
            return "The certificate of " + name +
                   " could not be verified: check the host name, and that the certificate is "
                   "trusted on this computer.";
        case CURLE_USE_SSL_FAILED:
            return "The server does not offer FTP over TLS: check the server, or leave "
                   "\"ftps://\" out of the host name.";
        case CURLE_SSL_CONNECT_ERROR:
            return "The secure connection to " + name +
                   " failed: check that the server offers FTP over TLS.";
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_GOT_NOTHING:
            return where + " did not answer as an FTP server: check the host name and the port.";
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
            return "The connection to " + name + " broke off: the next upload tries again.";
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
        case CURLE_FTP_CANT_GET_HOST:
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_ACCEPT_TIMEOUT:
        case CURLE_FTP_PORT_FAILED:
            return "The server's data connection could not be opened: check the firewall and "
                   "the server's passive mode.";
        case CURLE_ABORTED_BY_CALLBACK:
            return "The upload was cancelled.";
        default: {
            std::string detail = failure.detail;
            while (!detail.empty() && (detail.back() == '.' || detail.back() == ' ')) {
                detail.pop_back();
            }
            return "The upload failed: " +
                   (detail.empty() ? "error " + std::to_string(failure.code) : detail) + ".";
        }
    }
}

void CCurlFtpSession::GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CCurlFtpSession::CCurlFtpSession(const WebStatsValues& settings, const FtpOptions& options,
                                 const std::atomic<bool>& cancelled)
    : curl_(curl_easy_init()),
      host_(ParseFtpHost(settings.hostName)),
      // A 16-bit port, as the field allows 65536: 0 (and so 65536) means the usual FTP port.
      port_(static_cast<long>(static_cast<std::uint16_t>(settings.port))),
      options_(options),
      cancelled_(cancelled) {
    if (port_ == 0) {
        port_ = 21;
    }
    if (curl_ == nullptr) {
        return;
    }
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl_, CURLOPT_USERAGENT, "Tallyglass/1.0");
    curl_easy_setopt(curl_, CURLOPT_USERNAME, settings.userName.c_str());
    curl_easy_setopt(curl_, CURLOPT_PASSWORD, settings.password.c_str());
    curl_easy_setopt(curl_, CURLOPT_PORT, port_);
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
#if LIBCURL_VERSION_NUM >= 0x075700
    // A name lookup that is given up (time-out, cancel) leaves its resolver thread behind
    // instead of waiting for it: a silent name server would otherwise hold the upload, and so
    // the end of the program, for as long as the system's resolver keeps trying.
    curl_easy_setopt(curl_, CURLOPT_QUICK_EXIT, 1L);
#endif
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &CCurlFtpSession::OnProgress);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
    if (host_.tls) {
        // The login and the files are encrypted or nothing is sent; the certificate is checked.
        curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!options_.caFile.empty()) {
            curl_easy_setopt(curl_, CURLOPT_CAINFO, options_.caFile.c_str());
        }
    }
}

CCurlFtpSession::~CCurlFtpSession() {
    if (curl_ == nullptr) {
        return;
    }
    // libcurl says QUIT and waits for the answer, which some servers never give. With the
    // connection's receiving side shut it still says QUIT, finds the line closed and is done.
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(curl_, CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK &&
        socket != CURL_SOCKET_BAD) {
#ifdef _WIN32
        shutdown(socket, SD_RECEIVE);
#else
        shutdown(socket, SHUT_RD);
#endif
    }
    curl_easy_cleanup(curl_);
}

int CCurlFtpSession::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CCurlFtpSession*>(self)->cancelled_.load() ? 1 : 0;
}

FtpFailure CCurlFtpSession::Failure(CURLcode code) const {
    FtpFailure failure;
    failure.code = code;
    failure.detail = errorBuffer_[0] != '\0' ? std::string(errorBuffer_) : curl_easy_strerror(code);
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &failure.reply);
    // libcurl's own words are the only sign of a lookup that ran out of time.
    failure.hostFound = failure.detail.rfind("Resolving", 0) != 0;
    // The limit of a whole file counts once the file was on its way; before that a silent
    // server is one that does not answer.
    curl_off_t started = 0;
    curl_off_t total = 0;
    curl_easy_getinfo(curl_, CURLINFO_PRETRANSFER_TIME_T, &started);
    curl_easy_getinfo(curl_, CURLINFO_TOTAL_TIME_T, &total);
    failure.pastTotalTime = started > 0 && total / 1000 >= options_.transferTimeoutMs;
    return failure;
}

CURLcode CCurlFtpSession::Perform(const std::string& url, std::FILE* file,
                                  const std::vector<std::string>& before,
                                  const std::vector<std::string>& after) {
    const auto beforeList = CommandList(before);
    const auto afterList = CommandList(after);
    errorBuffer_[0] = '\0';
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    // In this order: asking for an upload clears "no body", asking for no body keeps the upload.
    curl_easy_setopt(curl_, CURLOPT_UPLOAD, file != nullptr ? 1L : 0L);
    curl_easy_setopt(curl_, CURLOPT_NOBODY, file != nullptr ? 0L : 1L);
    if (file != nullptr) {
        std::fseek(file, 0, SEEK_END);
        const long size = std::ftell(file);
        std::rewind(file);
        curl_easy_setopt(curl_, CURLOPT_READDATA, file);
        curl_easy_setopt(curl_, CURLOPT_INFILESIZE_LARGE,
                         static_cast<curl_off_t>(size < 0 ? -1 : size));
    }
    curl_easy_setopt(curl_, CURLOPT_QUOTE, beforeList.get());
    curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, afterList.get());
    const CURLcode code = curl_easy_perform(curl_);
    curl_easy_setopt(curl_, CURLOPT_QUOTE, nullptr);
    curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, nullptr);
    curl_easy_setopt(curl_, CURLOPT_READDATA, nullptr);
    return code;
}

PutResult CCurlFtpSession::Put(const std::string& localPath, const std::string& remoteName,
                               std::string& error) {
    if (curl_ == nullptr) {
        error = "Could not start an FTP session.";
        return PutResult::Failed;
    }
    if (cancelled_.load()) {
        FtpFailure cancelled;
        cancelled.code = CURLE_ABORTED_BY_CALLBACK;
        error = FtpFailureText(cancelled, host_, port_, options_);
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
    const std::string partName = remoteName + ".part";
    CURLcode code = Perform(FtpUrl(host_, partName), file.get(), {},
                            {"RNFR " + partName, "RNTO " + remoteName});
    if (code == CURLE_QUOTE_ERROR) {
        // Many servers (Windows-hosted ones typically) will not rename onto an existing name:
        // make way for it and rename again; failing that, store under the final name. Either
        // way the temporary copy goes.
        const std::string folder = FtpUrl(host_, FolderOf(remoteName));
        code = Perform(folder, nullptr,
                       {"*DELE " + remoteName, "RNFR " + partName, "RNTO " + remoteName}, {});
        if (code == CURLE_QUOTE_ERROR) {
            code = Perform(FtpUrl(host_, remoteName), file.get(), {}, {"*DELE " + partName});
            if (IsRefusal(code)) {
                Perform(folder, nullptr, {"*DELE " + partName}, {});
            }
        }
    }
    if (code == CURLE_OK) {
        return PutResult::Sent;
    }
    if (IsRefusal(code)) {
        return PutResult::Refused;
    }
    error = FtpFailureText(Failure(code), host_, port_, options_);
    return PutResult::Failed;
}
