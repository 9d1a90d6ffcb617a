#include "persistence/CSettingsFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "WriteFailures.h"
#include "persistence/DataFile.h"

namespace {

// Loopback is excluded: a new user's meter counts only real interfaces.
const char* const kDefaultFile =
    "V1.0.0\nDeep Blue\n701\n0\n0\n10\n255\n255\n255\n"
    "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n-1\n-1\n-1\n-1\n0\n6\nlo\n"
    "docker*\nbr-*\nveth*\nvirbr*\nvnet*\n0\n0\nXP Silver\nOrange On Gray\n";

// What a new settings file leaves out: loopback, and container plumbing by pattern.
const std::vector<std::string> kDefaultExcluded = {"lo",    "docker*", "br-*",
                                                   "veth*", "virbr*",  "vnet*"};

std::vector<std::string> KeptAndDefaults() {
    std::vector<std::string> list = {"kept"};
    list.insert(list.end(), kDefaultExcluded.begin(), kDefaultExcluded.end());
    return list;
}

// Everything up to the hidden-in-tray flag, with frame delay 10.
const char* const kUpToCount =
    "V1.0.0\nSunset\n701\n0\n0\n10\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n"
    "-1\n-1\n-1\n-1\n0\n";

class SettingsFileTest : public ::testing::Test {
protected:
    std::string SettingsPath() const { return folder.DataFilePath("settings.dat"); }

    std::string Read(const std::string& path) const {
        std::string text;
        EXPECT_TRUE(ReadTextFile(path, text)) << path;
        return text;
    }

    // Starting values unlike anything the tests read, so kept values show.
    static SettingsValues Starting() {
        SettingsValues values;
        values.themeName = "start";
        values.graphType = -7;
        values.showCaption = values.scanlineEffect = values.hiddenInTray = true;
        values.frameDelay = 22;
        values.downloadColour = {1, 2, 3};
        values.windowLeft = values.windowTop = values.windowWidth = values.windowHeight = 77;
        values.excludedDescriptions = {"kept"};
        return values;
    }

    TempDir temp;
    CDataFolder folder{temp.Str() + "/share/Tallyglass", "/opt/tallyglass/"};
};

}  // namespace

TEST_F(SettingsFileTest, MissingFileRunsWithDelay15AndWritesADefaultFileThatGives10) {
    SettingsValues first = Starting();
    EXPECT_EQ(ReadSettings(folder, first), SettingsReadResult::Missing);
    EXPECT_EQ(first.themeName, "Deep Blue");
    EXPECT_EQ(first.graphType, 701);
    EXPECT_FALSE(first.scanlineEffect);
    EXPECT_EQ(first.frameDelay, 15);
    EXPECT_EQ(first.windowLeft, -1);
    EXPECT_EQ(first.windowHeight, -1);
    EXPECT_FALSE(first.hiddenInTray);
    // Not supplied for a missing file: the caller's values stay. The first run already leaves
    // loopback out, as the file written for the next one does.
    EXPECT_TRUE(first.showCaption);
    EXPECT_EQ(first.downloadColour, (ColourRgb{1, 2, 3}));
    EXPECT_EQ(first.excludedDescriptions, KeptAndDefaults());

    EXPECT_EQ(Read(SettingsPath()), kDefaultFile);
    struct stat info {};
    ASSERT_EQ(stat(SettingsPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    SettingsValues second = Starting();
    EXPECT_EQ(ReadSettings(folder, second), SettingsReadResult::Read);
    EXPECT_EQ(second.frameDelay, 10);
    EXPECT_EQ(second.themeName, "Deep Blue\n");  // with its line end; theme lookups trim it
    EXPECT_FALSE(second.showCaption);
    EXPECT_EQ(second.downloadColour, (ColourRgb{255, 255, 255}));
    EXPECT_EQ(second.excludedDescriptions, KeptAndDefaults());  // appended

    // Writing what was read gives the same file: the kept line end is not written twice.
    second.excludedDescriptions = kDefaultExcluded;
    ASSERT_TRUE(WriteSettings(folder, second));
    EXPECT_EQ(Read(SettingsPath()), kDefaultFile);

    // An excluded list that names loopback already does not get it twice.
    std::filesystem::remove(SettingsPath());
    SettingsValues third;
    third.excludedDescriptions = {"lo"};
    EXPECT_EQ(ReadSettings(folder, third), SettingsReadResult::Missing);
    EXPECT_EQ(third.excludedDescriptions, kDefaultExcluded);
}

TEST_F(SettingsFileTest, CrLfLineEndsLeaveNoCarriageReturnInTexts) {
    std::string text;
    ASSERT_TRUE(ReadTextFile(std::string(TALLYGLASS_TEST_DATA) + "/settings_crlf.dat", text));
    ASSERT_NE(text.find("\r\n"), std::string::npos);  // not converted on checkout

    SettingsValues values = Starting();
    values.excludedDescriptions.clear();
    ParseSettings(text, values);
    EXPECT_EQ(values.themeName, "XP Silver\n");
    EXPECT_EQ(values.graphType, 702);
    EXPECT_TRUE(values.showCaption);
    EXPECT_FALSE(values.scanlineEffect);
    EXPECT_EQ(values.frameDelay, 20);
    EXPECT_EQ(values.downloadColour, (ColourRgb{1, 2, 3}));
    EXPECT_EQ(values.backgroundBottomColour, (ColourRgb{13, 14, 15}));
    EXPECT_EQ(values.windowLeft, 100);
    EXPECT_EQ(values.windowHeight, 140);
    EXPECT_TRUE(values.hiddenInTray);
    EXPECT_EQ(values.excludedDescriptions, (std::vector<std::string>{"Intel(R) Ethernet", "lo"}));
}

TEST_F(SettingsFileTest, FrameDelayIsKeptWithinOneTo33AndExcludedCountWithinTheFile) {
    const std::pair<const char*, int> delays[] = {
        {"17", 17}, {"0", 1}, {"-5", 1}, {"34", 33}, {"2000000000", 33}};
    for (const auto& [text, expected] : delays) {
        SettingsValues values;
        ParseSettings(std::string("V1.0.0\nSunset\n701\n0\n0\n") + text + "\n", values);
        EXPECT_EQ(values.frameDelay, expected) << text;
    }

    const std::pair<std::string, std::vector<std::string>> lists[] = {
        {"2\neth0\nwlan0", {"eth0", "wlan0"}},  // no line end after the last one
        {"9\neth0\nwlan0\n", {"eth0", "wlan0"}},
        {"2147483647\neth0\n", {"eth0"}},
        {"-3\neth0\n", {}},
        {"x\neth0\n", {}},
    };
    for (const auto& [tail, expected] : lists) {
        SettingsValues values;
        ParseSettings(kUpToCount + tail, values);
        EXPECT_EQ(values.excludedDescriptions, expected) << tail;
    }
}

// The tray face follows the excluded list, where a reader that knows nothing of it stops: only a
// complete list has it behind. Following the desktop's light and dark comes after it, for the
// same reason, and only a file with its flag and both theme lines follows.
TEST_F(SettingsFileTest, LinesAfterACompleteExcludedList) {
    const struct {
        const char* name;
        std::string tail;
        int face;
        std::vector<std::string> excluded;
        const char* dark = "Orange On Gray";  // none read: the starting value
    } cases[] = {
        {"written by an older version", "1\neth0\n", 0, {"eth0"}},
        {"speeds", "1\neth0\n1\n", 1, {"eth0"}},
        {"empty list", "0\n1\n", 1, {}},
        {"list a line short", "2\neth0\n1\n", 0, {"eth0", "1"}},
        {"not a number", "1\neth0\nspeeds\n", 0, {"eth0"}},
        {"following", "0\n0\n1\nSunset\nRed LCD\n", 0, {}, "Red LCD"},
        {"following, CR LF", "0\r\n0\r\n1\r\nSunset\r\nRed LCD\r\n", 0, {}, "Red LCD"},
        {"following, dark line missing", "0\n0\n1\nSunset\n", 0, {}},
    };
    for (const auto& c : cases) {
        SettingsValues values;
        values.followDesktopScheme = true;  // a starting value the file must override
        ParseSettings(kUpToCount + c.tail, values);
        EXPECT_EQ(values.trayFace, c.face) << c.name;
        EXPECT_EQ(values.excludedDescriptions, c.excluded) << c.name;
        EXPECT_EQ(values.darkTheme, c.dark) << c.name;
        EXPECT_EQ(values.followDesktopScheme, values.darkTheme == "Red LCD") << c.name;
    }

    SettingsValues written;
    written.excludedDescriptions = {"eth0", "wlan0"};
    written.trayFace = 1;
    written.followDesktopScheme = true;
    written.lightTheme = "Red & Blue";
    SettingsValues read;
    ParseSettings(FormatSettings(written), read);
    EXPECT_EQ(read.excludedDescriptions, written.excludedDescriptions);
    EXPECT_EQ(read.trayFace, 1);
    EXPECT_TRUE(read.followDesktopScheme);
    EXPECT_EQ(read.lightTheme, "Red & Blue");
}

TEST_F(SettingsFileTest, ShortOrDamagedFileKeepsStartingNumbersAndClearsFlags) {
    SettingsValues values = Starting();
    ParseSettings("V1.0.0\nSunset\n702\n1\n", values);
    EXPECT_EQ(values.graphType, 702);
    EXPECT_TRUE(values.showCaption);
    EXPECT_FALSE(values.scanlineEffect);
    EXPECT_EQ(values.frameDelay, 22);
    EXPECT_EQ(values.downloadColour, (ColourRgb{1, 2, 3}));
    EXPECT_EQ(values.windowWidth, 77);
    EXPECT_FALSE(values.hiddenInTray);
    EXPECT_EQ(values.excludedDescriptions, std::vector<std::string>{"kept"});

    // A word where a number belongs stops the scan there, as the rest cannot be placed.
    values = Starting();
    ParseSettings("V1.0.0\nSunset\n701\n1\n1\nfast\n9\n9\n9\n", values);
    EXPECT_TRUE(values.scanlineEffect);
    EXPECT_EQ(values.frameDelay, 22);
    EXPECT_EQ(values.downloadColour, (ColourRgb{1, 2, 3}));
}

TEST_F(SettingsFileTest, UnreadableFileIsLeftAloneAndFailedWriteKeepsTheOldFile) {
    ASSERT_TRUE(std::filesystem::create_directories(SettingsPath()));
    SettingsValues values = Starting();
    EXPECT_EQ(ReadSettings(folder, values), SettingsReadResult::Unreadable);
    EXPECT_TRUE(std::filesystem::is_directory(SettingsPath()));
    EXPECT_EQ(values.frameDelay, 22);
    EXPECT_FALSE(WriteSettings(folder, values));
    std::filesystem::remove(SettingsPath());

    ASSERT_TRUE(WriteSettings(folder, values));
    const std::string before = Read(SettingsPath());
    values.excludedDescriptions.assign(50, std::string(100, 'x'));
    {
        FileSizeLimit limit(256);
        EXPECT_FALSE(WriteSettings(folder, values));
    }
    EXPECT_EQ(Read(SettingsPath()), before);
}
