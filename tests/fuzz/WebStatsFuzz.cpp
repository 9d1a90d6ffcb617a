// The WebStats reader on any bytes, and the upload addresses made from what it read: the
// interval it hands on is positive, what it read saves and reads back unchanged, and the
// remote names reach the FTP URL escaped, so no byte of them can end the request early.

#include <cstdint>

#include "FuzzSupport.h"
#include "persistence/CWebStatsFile.h"
#include "webstats/WebStatsUpload.h"

namespace {

bool IsUrlByte(char c) {
    return c > ' ' && c < 0x7f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WebStatsValues read;
    ParseWebStats(AsText(data, size), read);
    FUZZ_CHECK(read.uploadInterval > 0);

    const std::string saved = FormatWebStats(read);
    if (!saved.empty()) {
        WebStatsValues reread;
        ParseWebStats(saved, reread);
        FUZZ_CHECK(reread == read);
    }

    // The same remote name under a host without a name: what follows "ftp://" is the path.
    const std::string remoteName = read.remotePath + read.pageFileName;
    const std::string url = FtpUrl(ParseFtpHost(read.hostName), remoteName);
    const std::string path = FtpUrl(FtpHost{}, remoteName).substr(6);
    FUZZ_CHECK(url.rfind("ftp://", 0) == 0);
    FUZZ_CHECK(url.size() >= path.size() &&
               url.compare(url.size() - path.size(), path.size(), path) == 0);
    for (const char c : path) {
        FUZZ_CHECK(IsUrlByte(c));
    }
    return 0;
}
