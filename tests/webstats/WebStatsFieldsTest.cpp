#include "webstats/WebStatsFields.h"

#include <gtest/gtest.h>

#include "webstats/WebStatsUpload.h"

namespace {

TEST(WebStatsFields, PortTextMustBeOneWholeIntegerFrom0To65536) {
    struct Case {
        const char* text;
        bool ok;
        int port;
    };
    const Case cases[] = {
        {"21", true, 21},       {"0", true, 0},
        {"65536", true, 65536}, {" 2121", true, 2121},
        {"+21", true, 21},      {"-0", true, 0},
        {"21x", false, 0},      {"", false, 0},
        {"65537", false, 0},    {"21 ", false, 0},
        {"-1", false, 0},       {"2 1", false, 0},
        {"+", false, 0},        {"99999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        int port = -7;
        EXPECT_EQ(ParsePortText(c.text, port), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(port, c.ok ? c.port : -7) << '"' << c.text << '"';
    }
}

TEST(WebStatsFields, RemotePathGetsItsSlashesAndLosesItsQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"myhomepage", "/myhomepage/"},
        {"/myhomepage/", "/myhomepage/"},
        {"", ""},
        {"\"\"", "/"},
        {"\"/stats\"", "/stats/"},
        {"a/b", "/a/b/"},
        {"/", "/"},
    };
    for (const auto& [typed, stored] : cases) {
        EXPECT_EQ(NormaliseRemotePath(typed), stored) << typed;
    }
}

TEST(WebStatsFields, FileNameLosesSpacesQuotesBackslashesAndSlashesAtItsEnds) {
    const std::pair<const char*, const char*> cases[] = {
        {"webstats.html", "webstats.html"},
        {"  \"/index.html\"  ", "index.html"},
        {"\\\\stats.htm\\", "stats.htm"},
        {"//a/b.html/", "a/b.html"},
        {"\" \"", " "},  // spaces go first, before the quotes
        {"", ""},
    };
    for (const auto& [typed, stored] : cases) {
        EXPECT_EQ(NormaliseFileName(typed), stored) << typed;
    }
}

TEST(WebStatsFields, AFileNameMustStillNameAFileOnceNormalised) {
    const std::pair<const char*, bool> cases[] = {
        {"index.html", true}, {"stats/index.html", true},
        {"\"/\"", false},     {"\"\"", false},
        {"//", false},        {" \\ ", false},
        {"..", false},        {"a/.", false},
        {".htaccess", true},  {"", false},
    };
    for (const auto& [typed, ok] : cases) {
        EXPECT_EQ(IsPageFileName(NormaliseFileName(typed)), ok) << typed;
    }
}

TEST(WebStatsFields, IntervalChoicesAndTheirIndexes) {
    EXPECT_EQ(UploadIntervalIndex(30000), 0);
    EXPECT_EQ(UploadIntervalIndex(900000), 4);
    EXPECT_EQ(UploadIntervalIndex(300000), 2);
    EXPECT_EQ(UploadIntervalIndex(45000), -1);
}

TEST(WebStatsFields, HostNamesAndRemoteUrls) {
    struct Case {
        const char* host;
        const char* remote;
        bool tls;
        const char* url;
    };
    const Case cases[] = {
        {"ftp.example.com", "/stats/index.html", false,
         "ftp://ftp.example.com/%2Fstats/index.html"},
        {"ftp.example.com", "index.html", false, "ftp://ftp.example.com/index.html"},
        {"FTPS://secure.example.com/", "/a b/x#1.html", true,
         "ftp://secure.example.com/%2Fa%20b/x%231.html"},
        {"ftp://plain.example.com", "u.gif", false, "ftp://plain.example.com/u.gif"},
        {"::1", "/p.html", false, "ftp://[::1]/%2Fp.html"},
    };
    for (const Case& c : cases) {
        const FtpHost host = ParseFtpHost(c.host);
        EXPECT_EQ(host.tls, c.tls) << c.host;
        EXPECT_EQ(FtpUrl(host, c.remote), c.url) << c.host;
    }
}

}  // namespace
