#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/LocaleTexts.h"

#include "webstats/CWebStats.h"

// One upload of the statistics page: write the page file, send it, and the first time after the
// host or remote path changed also the three pictures it shows, then say how it went.

// The local page file, in the data folder.
inline constexpr const char* kLocalPageFileName = "ws.html";
// The pictures the page refers to, from the program's gfx folder, in the order they are sent.
inline constexpr const char* kPagePictures[] = {"u.gif", "d.gif", "tallyglassbg.gif"};

enum class PutResult {
    Sent,
    Refused,  // the server would not take the file, or the local file could not be read
    Failed,   // the server could not be reached or logged in to, or the connection broke
};

// A logged-in FTP connection, made on first use.
class FtpSession {
public:
    virtual ~FtpSession() = default;
    // Stores a local file under a remote name, in binary. After Failed, `error` says why and
    // the session is of no further use.
    virtual PutResult Put(const std::string& localPath, const std::string& remoteName,
                          std::string& error) = 0;
};

struct UploadJob {
    UploadTicket ticket;
    std::string logPrefix;      // the local time the upload began, e.g. "10:05: "
    std::string page;           // the page text
    std::string pagePath;       // where the page file is written
    std::string pictureFolder;  // where the pictures are, ending with "/"
    // The words of the log line. The job's own: the upload may outlive whoever started it.
    std::shared_ptr<const LocaleTexts> texts;
};

struct UploadOutcome {
    bool imagesSent = false;
    std::string logLine;
};

// Writes the page file, then sends the page and, when the ticket asks, the pictures; the log
// line says how it went.
UploadOutcome RunUpload(const UploadJob& job, FtpSession& session);

// The server named in the host field: "ftps://name" asks for FTP over TLS, "ftp://name" or a
// plain name for plain FTP.
struct FtpHost {
    std::string name;
    bool tls = false;

    friend bool operator==(const FtpHost&, const FtpHost&) = default;
};
FtpHost ParseFtpHost(std::string_view host);

// The URL of a remote file for an FTP client that sends the path as given ("/stats/index.html"
// from the server's root, "index.html" in the login folder). Characters outside the unreserved
// set are percent-encoded; a leading "/" becomes "%2F" so that it survives as part of the path.
std::string FtpUrl(const FtpHost& host, std::string_view remoteName);
