#include "webstats/WebStatsUpload.h"

#include <cctype>
#include <cstdio>

#include "core/TrimSpace.h"
#include "persistence/DataFile.h"
#include "webstats/WebStatsFields.h"

namespace {

UploadOutcome Failure(const UploadJob& job, const std::string& error) {
    const std::string_view text = TrimSpace(error);
    return {false, job.logPrefix + std::string(text.empty() ? "The upload failed" : text)};
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

void AppendEscaped(std::string& url, std::string_view text) {
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            url.push_back(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", u);
            url += escaped;
        }
    }
}

}  // namespace

UploadOutcome RunUpload(const UploadJob& job, FtpSession& session) {
    const WebStatsValues& settings = job.ticket.settings;
    // A settings file from before names were checked may hold none: the page would go up as
    // ".part" and be renamed onto the folder.
    if (!IsPageFileName(settings.pageFileName)) {
        return {false, job.logPrefix +
                           "The page has no valid file name: enter one in the WebStats window."};
    }
    // A page that cannot be written is not replaced by the last one on disk: that would publish
    // old figures as new.
    if (!WriteFileAtomically(job.pagePath, job.page + "\n")) {
        return {false, job.logPrefix + "Could not write the page file " + job.pagePath};
    }
    std::string error;
    const PutResult page =
        session.Put(job.pagePath, settings.remotePath + settings.pageFileName, error);
    if (page == PutResult::Failed) {
        return Failure(job, error);
    }
    bool imagesSent = false;
    if (job.ticket.sendImages) {
        for (const char* picture : kPagePictures) {
            const PutResult result =
                session.Put(job.pictureFolder + picture, settings.remotePath + picture, error);
            if (result == PutResult::Failed) {
                return Failure(job, error);
            }
            imagesSent = result == PutResult::Sent;  // the last picture decides
        }
    }
    return {imagesSent,
            job.logPrefix + (page == PutResult::Sent ? kPageSentText : kPageRefusedText)};
}

FtpHost ParseFtpHost(std::string_view host) {
    FtpHost parsed;
    if (StartsWithNoCase(host, "ftps://")) {
        parsed.tls = true;
        host.remove_prefix(7);
    } else if (StartsWithNoCase(host, "ftp://")) {
        host.remove_prefix(6);
    }
    while (!host.empty() && host.back() == '/') {
        host.remove_suffix(1);
    }
    parsed.name = std::string(host);
    return parsed;
}

std::string FtpUrl(const FtpHost& host, std::string_view remoteName) {
    std::string url = "ftp://";
    // An IPv6 address needs its brackets in a URL.
    const bool ipv6 = host.name.find(':') != host.name.rfind(':') && host.name.front() != '[';
    url += ipv6 ? "[" + host.name + "]" : host.name;
    url += "/";
    if (!remoteName.empty() && remoteName.front() == '/') {
        url += "%2F";
        remoteName.remove_prefix(1);
    }
    AppendEscaped(url, remoteName);
    return url;
}
