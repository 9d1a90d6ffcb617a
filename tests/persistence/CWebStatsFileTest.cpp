#include "persistence/CWebStatsFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "TempDir.h"
#include "persistence/DataFile.h"

namespace {

class WebStatsFileTest : public ::testing::Test {
protected:
    std::string Path() const { return folder.DataFilePath("webstats.dat"); }
    std::string Read() const {
        std::string text;
        EXPECT_TRUE(ReadTextFile(Path(), text));
        return text;
    }
    // Starting values unlike anything the tests read, so kept values show.
    static WebStatsValues Starting() {
        WebStatsValues values;
        values.hostName = values.remotePath = values.pageFileName = "start";
        values.userName = values.password = "start";
        values.port = 7;
        values.uploadInterval = 77;
        values.enabled = true;
        return values;
    }

    TempDir temp;
    CDataFolder folder{temp.Str() + "/share/Tallyglass", "/opt/tallyglass/"};
};

TEST_F(WebStatsFileTest, MissingFileRunsWithFiveMinutesAndWritesThirtySecondsForNextTime) {
    WebStatsValues first = Starting();
    EXPECT_FALSE(ReadWebStatsFile(folder, first));
    EXPECT_EQ(first, WebStatsValues{});
    EXPECT_EQ(first.uploadInterval, 300000);
    EXPECT_EQ(first.port, 21);
    EXPECT_EQ(Read(), "V1.0.0\n\n\n\n\n\n21\n30000\n0\n");

    WebStatsValues second = Starting();
    EXPECT_TRUE(ReadWebStatsFile(folder, second));
    EXPECT_EQ(second.uploadInterval, 30000);
    EXPECT_EQ(second.hostName, "");
    EXPECT_FALSE(second.enabled);
}

TEST_F(WebStatsFileTest, WrittenValuesReadBackAndOnlyTheUserCanReadThem) {
    WebStatsValues values;
    values.hostName = "ftp.example.com";
    values.remotePath = "/myhomepage/";
    values.pageFileName = "webstats.html";
    values.userName = "me";
    values.password = " secret with spaces ";
    values.port = 2121;
    values.uploadInterval = 600000;
    values.enabled = true;
    ASSERT_TRUE(WriteWebStatsFile(folder, values));
    EXPECT_EQ(Read(),
              "V1.0.0\nftp.example.com\n/myhomepage/\nwebstats.html\nme\n secret with spaces \n"
              "2121\n600000\n1\n");
    struct stat info {};
    ASSERT_EQ(stat(Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    WebStatsValues back = Starting();
    EXPECT_TRUE(ReadWebStatsFile(folder, back));
    EXPECT_EQ(back, values);
}

TEST_F(WebStatsFileTest, FilesOfEveryShapeReadAsFarAsTheyGo) {
    struct Case {
        const char* name;
        const char* text;
        WebStatsValues expected;
    };
    const std::string longName(400, 'x');
    WebStatsValues full;
    full.hostName = "h";
    full.remotePath = "/p/";
    full.pageFileName = "f.html";
    full.userName = "u";
    full.password = "pw";
    full.port = 21;
    full.uploadInterval = 60000;
    full.enabled = true;
    auto with = [&](auto change) {
        WebStatsValues values = full;
        change(values);
        return values;
    };
    WebStatsValues early = Starting();
    early.hostName = "h";
    early.remotePath = early.pageFileName = early.userName = early.password = "";
    early.enabled = false;
    const std::string longText = "V1.0.0\n" + longName + "\n/p/\nf.html\nu\npw\n21\n60000\n1\n";
    const Case cases[] = {
        {"CR LF", "V1.0.0\r\nh\r\n/p/\r\nf.html\r\nu\r\npw\r\n21\r\n60000\r\n1\r\n", full},
        {"no last line end", "V1.0.0\nh\n/p/\nf.html\nu\npw\n21\n60000\n1", full},
        {"flag 5", "V1.0.0\nh\n/p/\nf.html\nu\npw\n21\n60000\n5\n", full},
        {"ends after the host", "V1.0.0\nh\n", early},
        {"ends after the port", "V1.0.0\nh\n/p/\nf.html\nu\npw\n2121\n",
         with([](WebStatsValues& v) {
             v.port = 2121;
             v.uploadInterval = 77;
             v.enabled = false;
         })},
        {"interval 0", "V1.0.0\nh\n/p/\nf.html\nu\npw\n21\n0\n1\n",
         with([](WebStatsValues& v) { v.uploadInterval = 77; })},
        {"interval negative", "V1.0.0\nh\n/p/\nf.html\nu\npw\n21\n-30000\n1\n",
         with([](WebStatsValues& v) { v.uploadInterval = 77; })},
        {"long host", longText.c_str(), with([&](WebStatsValues& v) { v.hostName = longName; })},
    };
    ASSERT_TRUE(folder.EnsureDataFolder());
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileAtomically(Path(), c.text)) << c.name;
        WebStatsValues values = Starting();
        EXPECT_TRUE(ReadWebStatsFile(folder, values)) << c.name;
        EXPECT_EQ(values, c.expected) << c.name;
    }
}

TEST_F(WebStatsFileTest, ATextWithALineBreakIsNeverWritten) {
    WebStatsValues good;
    good.hostName = "ftp.example.com";
    ASSERT_TRUE(WriteWebStatsFile(folder, good));
    const std::string before = Read();
    for (const char* broken : {"pass\nword", "pass\rword", "\n"}) {
        WebStatsValues values = good;
        values.password = broken;
        EXPECT_FALSE(WriteWebStatsFile(folder, values));
        values = good;
        values.hostName = broken;
        EXPECT_FALSE(WriteWebStatsFile(folder, values));
        EXPECT_EQ(Read(), before);
    }
}

}  // namespace
