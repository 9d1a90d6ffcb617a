#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "QuotaTestSupport.h"
#include "channel/ChannelProtocol.h"
#include "channel/MeterStatus.h"
#include "graph/CSampleList.h"

namespace {

TEST(ChannelProtocol, OnlyOneSpellingOfEachRequestIsTaken) {
    struct Case {
        std::string line;
        RequestCheck check;
    };
    const Case cases[] = {
        {"tallyglass 1 show\n", RequestCheck::Valid},
        {"tallyglass 1 status\n", RequestCheck::Valid},
        {"tallyglass 1 follow\n", RequestCheck::Valid},
        {"tallyglass 2 status\n", RequestCheck::UnknownVersion},
        {"tallyglass 999999999 status\n", RequestCheck::UnknownVersion},
        {"tallyglass 4294967296 status\n", RequestCheck::Malformed},
        {"tallyglass 7\n", RequestCheck::UnknownVersion},
        {"show\n", RequestCheck::Malformed},               // unversioned
        {"tallyglass 1 status", RequestCheck::Malformed},  // no line end
        {"tallyglass 1 status\r\n", RequestCheck::Malformed},
        {"tallyglass 1 status \n", RequestCheck::Malformed},
        {"tallyglass  1 status\n", RequestCheck::Malformed},
        {"tallyglass 01 status\n", RequestCheck::Malformed},
        {"tallyglass +1 status\n", RequestCheck::Malformed},
        {"tallyglass 0 status\n", RequestCheck::Malformed},
        {"tallyglass x status\n", RequestCheck::Malformed},
        {"tallyglass 1 STATUS\n", RequestCheck::Malformed},
        {"tallyglass 1 status now\n", RequestCheck::Malformed},
        {"tallyglass 1 status\ntallyglass 1 show\n", RequestCheck::Malformed},
        {"Tallyglass 1 show\n", RequestCheck::Malformed},
        {"\n", RequestCheck::Malformed},
        {"", RequestCheck::Malformed},
        {std::string("tallyglass 1 sh\0w\n", 19), RequestCheck::Malformed},
        {"tallyglass 1 " + std::string(kMaxRequestLength, 's') + "\n", RequestCheck::Malformed},
        {"tallyglass 2 " + std::string(kMaxRequestLength, 's') + "\n", RequestCheck::Malformed},
    };
    for (const Case& c : cases) {
        ChannelVerb verb = ChannelVerb::Show;
        const RequestCheck check = ParseChannelRequest(c.line, verb);
        EXPECT_EQ(check, c.check) << c.line;
        if (check == RequestCheck::Valid) {
            EXPECT_EQ(ChannelRequest(verb), c.line);
        }
    }
}

MeterStatus Figures(std::uint64_t sample, double down, double up) {
    MeterStatus status;
    status.sample = sample;
    status.downloadRate = down;
    status.uploadRate = up;
    status.todayDownload = 1536.25;
    status.todayUpload = 0.5;
    status.sessionDownload = 300.125;
    status.sessionUpload = 12.0;
    return status;
}

MeterStatus WithQuota(MeterStatus status, double used, bool exceeded,
                      std::optional<double> projected = std::nullopt,
                      StatusLimit limit = StatusLimit::Total) {
    status.quotaUsed = used;
    status.quotaLimit = limit;
    status.quotaExceeded = exceeded;
    status.quotaProjected = projected;
    return status;
}

TEST(ChannelProtocol, StatusLinesCarryEveryFigureExactly) {
    const MeterStatus cases[] = {
        Figures(0, 0.0, 0.0),
        Figures(17, 1228.8, 34.0),
        Figures(std::numeric_limits<std::uint64_t>::max(), 0.1 + 0.2, 1e-300),
        Figures(5, 1.7976931348623157e308, 4.9e-324),
        WithQuota(Figures(3, 1.0, 2.0), 63.04, false),
        WithQuota(Figures(3, 1.0, 2.0), 100.0, true, 94.125),
        WithQuota(Figures(3, 1.0, 2.0), 105.0, true, 108.0, StatusLimit::Download),
        WithQuota(Figures(3, 1.0, 2.0), 60.0, false, std::nullopt, StatusLimit::Upload),
    };
    for (const MeterStatus& status : cases) {
        const std::string line = EncodeStatusAnswer(status);
        EXPECT_LE(line.size(), kMaxAnswerLength) << line;
        MeterStatus decoded;
        ASSERT_TRUE(DecodeStatusAnswer(line, decoded)) << line;
        EXPECT_EQ(decoded, status) << line;
    }
    EXPECT_EQ(
        EncodeStatusAnswer(WithQuota(Figures(9, 1.5, 0.0), 63.5, false, 94.0)),
        "tallyglass 1 status sample=9 down=1.5 up=0 today_down=1536.25 today_up=0.5 "
        "session_down=300.125 session_up=12 quota=63.5 exceeded=0 projected=94 limit=total\n");
}

TEST(ChannelProtocol, StatusLinesThatAreNotWholeAreRefused) {
    const std::string good =
        "tallyglass 1 status sample=9 down=1.5 up=0 today_down=2 today_up=0.5 session_down=3 "
        "session_up=12";
    struct Case {
        std::string line;
        bool taken;
    };
    const Case cases[] = {
        {good + "\n", true},
        // A later meter's own fields are skipped.
        {good + " peak=9000 zone=x=y\n", true},
        {good + " quota=50 exceeded=1 projected=120\n", true},
        {good, false},
        {good + " \n", false},
        {good + "  quota=5 exceeded=0\n", false},
        {good + " sample=10\n", false},     // twice
        {good + " quota=50\n", false},      // without its flag
        {good + " exceeded=0\n", false},    // without its share
        {good + " projected=80\n", false},  // a forecast without a quota
        {good + " quota=50 exceeded=1 limit=download\n", true},
        {good + " limit=upload\n", false},  // a limit without a quota
        {good + " quota=50 exceeded=0 limit=sideways\n", false},
        {good + " quota=50 exceeded=yes\n", false},
        {good + " quota=nan exceeded=0\n", false},
        {good + " quota=inf exceeded=0\n", false},
        {good + " quota=1e999 exceeded=0\n", false},
        {good + " quota= exceeded=0\n", false},
        {good + " =5\n", false},
        {good + " Peak=5\n", false},
        {good + " novalue\n", false},
        {good + "\nextra\n", false},
        {"tallyglass 1 status sample=-1 down=1 up=0 today_down=2 today_up=0.5 session_down=3 "
         "session_up=12\n",
         false},
        {"tallyglass 1 status sample=9 up=0 today_down=2 today_up=0.5 session_down=3 "
         "session_up=12\n",
         false},  // no download speed
        {"tallyglass 1 status sample=9 down=0x10 up=0 today_down=2 today_up=0.5 session_down=3 "
         "session_up=12\n",
         false},
        {"tallyglass 2 status sample=9 down=1.5 up=0 today_down=2 today_up=0.5 session_down=3 "
         "session_up=12\n",
         false},
        {"tallyglass 1 shown\n", false},
        {good + " pad=" + std::string(kMaxAnswerLength, 'x') + "\n", false},
    };
    for (const Case& c : cases) {
        MeterStatus status = Figures(1, 7.0, 7.0);
        const MeterStatus before = status;
        EXPECT_EQ(DecodeStatusAnswer(c.line, status), c.taken) << c.line;
        if (!c.taken) {
            EXPECT_EQ(status, before) << c.line;
        }
    }
}

TEST(MeterStatusTexts, PanelsGetTheSpeedsTheAmountsAndTheQuota) {
    struct Case {
        const char* name;
        MeterStatus status;
        std::string text;
        std::string lastTooltipLine;
        std::string cssClass;
        std::string percentage;  // as in the JSON, empty: absent
    };
    const Case cases[] = {
        {"idle", Figures(1, 0.0, 0.0),
         "\u2193 \u2007\u2007\u20070.0 KB/s \u2191 \u2007\u2007\u20070.0 KB/s",
         "Session: 300.1 MB down, 12.0 MB up", "idle", ""},
        {"upload only", Figures(1, 0.0, 34.0),
         "\u2193 \u2007\u2007\u20070.0 KB/s \u2191 \u2007\u200734.0 KB/s",
         "Session: 300.1 MB down, 12.0 MB up", "traffic", ""},
        {"megabytes", Figures(1, 1228.8, 0.25),
         "\u2193 \u2007\u2007\u20071.2 MB/s \u2191 \u2007\u2007\u20070.2 KB/s",
         "Session: 300.1 MB down, 12.0 MB up", "traffic", ""},
        {"quota on", WithQuota(Figures(1, 5.0, 0.0), 63.9, false),
         "\u2193 \u2007\u2007\u20075.0 KB/s \u2191 \u2007\u2007\u20070.0 KB/s", "Quota: 63% used",
         "traffic", "63"},
        {"quota forecast", WithQuota(Figures(1, 0.0, 0.0), 63.0, false, 94.5),
         "\u2193 \u2007\u2007\u20070.0 KB/s \u2191 \u2007\u2007\u20070.0 KB/s",
         "Quota: 63% used, 94% projected", "idle", "63"},
        // Exactly the allowance is not past it; a hair more is, and says so even while idle.
        {"quota full", WithQuota(Figures(1, 0.0, 0.0), 100.0, false),
         "\u2193 \u2007\u2007\u20070.0 KB/s \u2191 \u2007\u2007\u20070.0 KB/s", "Quota: 100% used",
         "idle", "100"},
        {"quota exceeded", WithQuota(Figures(1, 0.0, 0.0), 100.01, true),
         "\u2193 \u2007\u2007\u20070.0 KB/s \u2191 \u2007\u2007\u20070.0 KB/s",
         "Quota: 100% used, past its limit", "quota-exceeded", "100"},
        // With separate limits the line names the one it speaks of.
        {"download exceeded",
         WithQuota(Figures(1, 0.0, 0.0), 105.0, true, 108.0, StatusLimit::Download),
         "\u2193 \u2007\u2007\u20070.0 KB/s \u2191 \u2007\u2007\u20070.0 KB/s",
         "Download quota: 105% used, 108% projected, past its limit", "quota-exceeded", "105"},
        {"upload heading past",
         WithQuota(Figures(1, 0.0, 0.0), 60.0, false, 221.0, StatusLimit::Upload),
         "\u2193 \u2007\u2007\u20070.0 KB/s \u2191 \u2007\u2007\u20070.0 KB/s",
         "Upload quota: 60% used, 221% projected", "idle", "60"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StatusText(c.status), c.text);
        const std::string tooltip = StatusTooltip(c.status);
        EXPECT_EQ(tooltip.substr(tooltip.rfind('\n') + 1), c.lastTooltipLine);
        EXPECT_EQ(StatusClass(c.status), c.cssClass);
        const std::string json = StatusJson(c.status);
        EXPECT_EQ(json.find('\n'), json.size() - 1);
        EXPECT_EQ(json.find("\"percentage\": " + c.percentage + ","),
                  c.percentage.empty() ? std::string::npos : json.find("\"percentage\""));
        EXPECT_NE(json.find("\"class\": \"" + c.cssClass + "\""), std::string::npos);
    }

    EXPECT_EQ(StatusJson(WithQuota(Figures(42, 1228.8, 34.0), 63.5, false, 94.0)),
              "{\"text\": \"\u2193 \u2007\u2007\u20071.2 MB/s \u2191 \u2007\u200734.0 KB/s\", "
              "\"tooltip\": \"Down: 1.2 MB/s\\n"
              "Up: 34.0 KB/s\\nToday: 1.5 GB down, 512.0 KB up\\nSession: 300.1 MB down, "
              "12.0 MB up\\nQuota: 63% used, 94% projected\", \"class\": \"traffic\", "
              "\"percentage\": 63, \"limit\": \"total\", \"projected\": 94, \"sample\": 42, "
              "\"download_kib_s\": 1228.800, "
              "\"upload_kib_s\": 34.000, \"today_download_mib\": 1536.250000, "
              "\"today_upload_mib\": 0.500000, \"session_download_mib\": 300.125000, "
              "\"session_upload_mib\": 12.000000}\n");
}

TEST(MeterStatusTexts, WholePercentNeverRoundsUpToAFullQuota) {
    const std::pair<double, int> cases[] = {{0.0, 0},         {-3.0, 0},    {99.99, 99},
                                            {100.0, 100},     {250.7, 250}, {1e300, INT32_MAX},
                                            {std::nan(""), 0}};
    for (const auto& [percent, whole] : cases) {
        EXPECT_EQ(WholePercent(percent), whole) << percent;
    }
}

class CollectStatusTest : public QuotaFixture {
protected:
    CollectStatusTest() : QuotaFixture({7, 12, 2026}) {}
    CSampleList samples;
};

TEST_F(CollectStatusTest, TakesTheGraphsNewestSampleTodayAndTheQuotaWhileOn) {
    QuotaValues separate = ActiveTotalQuota(-1.0, 400.0, 60.0);
    separate.limitTotal = false;
    separate.allowedDownload = 1000.0;  // 40 % used
    separate.allowedUpload = 100.0;     // 60 % used, and heading highest
    QuotaValues downloadOnly = separate;
    downloadOnly.allowedUpload = -1.0;  // not in use
    // Download past its limit, upload heading far past its own at this week's pace.
    QuotaValues downloadPast = separate;
    downloadPast.downloaded = 1050.0;
    downloadPast.uploaded = 30.0;
    QuotaValues off = ActiveTotalQuota(1000.0, 0.0);
    off.active = false;
    struct Case {
        const char* name;
        QuotaValues file;
        std::optional<double> used;
        bool exceeded;
        StatusLimit limit = StatusLimit::Total;
    };
    const Case cases[] = {
        {"off", off, std::nullopt, false},
        {"total", ActiveTotalQuota(1000.0, 100.0, 50.0), 15.0, false},
        {"total past", ActiveTotalQuota(100.0, 100.0, 50.0), 150.0, true},
        {"separate", separate, 60.0, false, StatusLimit::Upload},
        {"download only", downloadOnly, 40.0, false, StatusLimit::Download},
        {"download past", downloadPast, 105.0, true, StatusLimit::Download},
    };
    ASSERT_TRUE(WriteFileAtomically(folder.DataFilePath(CTrafficHistory::kFileName),
                                    "V1.0.0\n3 12 2026 3000 0\n7 12 2026 0.5 1536.25\n"));
    samples.Append(12.5, 3.25);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartQuota(&c.file);
        const MeterStatus status = CollectStatus(samples, *history, *quota);
        EXPECT_EQ(status.sample, 1u);
        EXPECT_EQ(status.downloadRate, 12.5);
        EXPECT_EQ(status.uploadRate, 3.25);
        EXPECT_EQ(status.todayDownload, 1536.25);
        EXPECT_EQ(status.todayUpload, 0.5);
        ASSERT_EQ(status.quotaUsed.has_value(), c.used.has_value());
        if (c.used) {
            EXPECT_NEAR(*status.quotaUsed, *c.used, 1e-9);
        }
        EXPECT_EQ(status.quotaExceeded, c.exceeded);
        EXPECT_EQ(status.quotaLimit, c.limit);
        EXPECT_EQ(status.quotaProjected.has_value(), c.used.has_value());
    }
}

}  // namespace
