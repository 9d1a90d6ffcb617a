#include "persistence/CTrafficHistory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "FakeClocks.h"
#include "TempDir.h"
#include "WriteFailures.h"
#include "persistence/DataFile.h"

namespace {

class TrafficHistoryTest : public ::testing::Test {
protected:
    std::string StatsPath() const { return folder.DataFilePath("stats.dat"); }

    std::string Read(const std::string& path) const {
        std::string text;
        EXPECT_TRUE(ReadTextFile(path, text)) << path;
        return text;
    }

    void InstallFile(std::string_view contents) {
        ASSERT_TRUE(folder.EnsureDataFolder());
        ASSERT_TRUE(WriteFileAtomically(StatsPath(), contents));
    }

    void InstallFixture(const char* name) {
        std::string text;
        ASSERT_TRUE(ReadTextFile(std::string(TALLYGLASS_TEST_DATA) + "/" + name, text));
        InstallFile(text);
    }

    TempDir temp;
    CDataFolder folder{temp.Str() + "/share/Tallyglass", "/opt/tallyglass/"};
    FakeMsClock ms{1000};
    FakeLocalClock clock{{7, 12, 2026}};
};

}  // namespace

TEST_F(TrafficHistoryTest, FirstRunRecordsTodayAndFirstSaveCreatesFolderAndFile) {
    CTrafficHistory history(folder, ms, clock);
    EXPECT_EQ(history.SinceDate(), (LocalDate{7, 12, 2026}));
    EXPECT_FALSE(FileExists(folder.DataFolder()));  // loading creates nothing

    history.Update(2.0, 0.5);
    history.Update(5.0, 1.0);
    EXPECT_EQ(history.CurrentDay().downloaded, 5.0);
    EXPECT_EQ(history.CurrentDay().uploaded, 1.0);
    EXPECT_EQ(history.SessionDownload(), 5.0);
    EXPECT_EQ(history.SinceUpload(), 1.0);
    EXPECT_FALSE(FileExists(StatsPath()));  // not due yet

    ASSERT_TRUE(history.Save());
    EXPECT_EQ(Read(StatsPath()), "V1.0.0\n7 12 2026 1.000000 5.000000\n");

    // A restart on the same day continues today's record; the since values count it once.
    CTrafficHistory again(folder, ms, clock);
    EXPECT_EQ(again.CurrentDay().downloaded, 5.0);
    EXPECT_EQ(again.SinceDownload(), 5.0);
    again.Update(3.0, 0.25);
    EXPECT_EQ(again.CurrentDay().downloaded, 8.0);
    EXPECT_EQ(again.CurrentDay().uploaded, 1.25);
    EXPECT_EQ(again.SinceDownload(), 8.0);
    EXPECT_EQ(again.SinceUpload(), 1.25);
    EXPECT_EQ(again.SessionDownload(), 3.0);
}

TEST_F(TrafficHistoryTest, MidnightStartsNewDayWithTrafficSinceLastUpdate) {
    clock.SetDate({31, 12, 2026});
    CTrafficHistory history(folder, ms, clock);
    history.Update(100.0, 10.0);
    const HistoryTable before = history.Snapshot();

    clock.SetDate({1, 1, 2027});
    history.Update(103.0, 10.5);
    EXPECT_EQ(history.CurrentDay().day, 1);
    EXPECT_EQ(history.CurrentDay().year, 2027);
    EXPECT_EQ(history.CurrentDay().downloaded, 3.0);
    EXPECT_EQ(history.CurrentDay().uploaded, 0.5);
    EXPECT_EQ(history.MonthCount(), 2);

    // Snapshots refer to the history's own records, so they see later updates.
    const DayRecord* oldDay = before.at(2026).at(12).at(31);
    EXPECT_EQ(oldDay->downloaded, 100.0);
    const HistoryTable after = history.Snapshot();
    EXPECT_EQ(after.at(2027).at(1).at(1), &history.CurrentDay());
    history.Update(104.0, 11.0);
    EXPECT_EQ(after.at(2027).at(1).at(1)->downloaded, 4.0);
    EXPECT_EQ(oldDay->downloaded, 100.0);
}

TEST_F(TrafficHistoryTest, DateSetBackContinuesTheExistingRecordAndComparesTheYear) {
    CTrafficHistory history(folder, ms, clock);
    history.Update(10.0, 1.0);
    clock.SetDate({6, 12, 2026});
    history.Update(12.0, 1.0);
    clock.SetDate({7, 12, 2026});  // back to a day that has a record
    history.Update(15.0, 2.0);
    EXPECT_EQ(history.CurrentDay().downloaded, 13.0);
    EXPECT_EQ(history.CurrentDay().uploaded, 2.0);
    clock.SetDate({7, 12, 2025});  // same day and month, another year
    history.Update(16.0, 2.0);
    EXPECT_EQ(history.CurrentDay().year, 2025);
    EXPECT_EQ(history.CurrentDay().downloaded, 1.0);

    ASSERT_TRUE(history.Save());
    EXPECT_EQ(Read(StatsPath()),
              "V1.0.0\n"
              "7 12 2025 0.000000 1.000000\n"
              "6 12 2026 0.000000 2.000000\n"
              "7 12 2026 2.000000 13.000000\n");
}

TEST_F(TrafficHistoryTest, LoadsOutOfOrderAndRepeatedDatesAndKeepsTheFileAsFound) {
    InstallFixture("history_out_of_order.dat");
    const std::string original = Read(StatsPath());
    CTrafficHistory history(folder, ms, clock);
    EXPECT_EQ(history.SinceDate(), (LocalDate{31, 12, 2025}));
    // The repeated 2 March is not kept but still counts for this run.
    EXPECT_EQ(history.SinceDownload(), 105.0);
    EXPECT_EQ(history.SinceUpload(), 10.5);
    EXPECT_EQ(history.MonthCount(), 3);
    EXPECT_EQ(history.CurrentDay().downloaded, 0.0);

    ASSERT_TRUE(history.Save());
    EXPECT_EQ(Read(StatsPath()),
              "V1.0.0\n"
              "31 12 2025 0.500000 5.000000\n"
              "1 3 2026 1.000000 10.000000\n"
              "2 3 2026 2.000000 20.000000\n"
              "7 12 2026 0.000000 0.000000\n");
    EXPECT_EQ(Read(folder.DataFilePath("stats.dat.bad")), original);
}

TEST_F(TrafficHistoryTest, ValidDaysAfterABadLineSurviveARun) {
    InstallFixture("history_bad_line.dat");
    const std::string original = Read(StatsPath());
    {
        CTrafficHistory history(folder, ms, clock);
        const HistoryTable table = history.Snapshot();
        EXPECT_EQ(table.at(2026).at(12).size(), 4u);  // 1st, 2nd, 4th and today
        EXPECT_EQ(history.SinceDownload(), 12.0);
        EXPECT_EQ(history.SinceDate(), (LocalDate{1, 12, 2026}));
        ASSERT_TRUE(history.Save());
        // Only the first save keeps the file as found: later ones must not add copies.
        ASSERT_TRUE(history.Save());
    }
    EXPECT_EQ(Read(StatsPath()),
              "V1.0.0\n"
              "1 12 2026 1.000000 2.000000\n"
              "2 12 2026 3.000000 4.000000\n"
              "4 12 2026 5.000000 6.000000\n"
              "7 12 2026 0.000000 0.000000\n");
    EXPECT_EQ(Read(folder.DataFilePath("stats.dat.bad")), original);
    EXPECT_FALSE(FileExists(folder.DataFilePath("stats.dat.bad.1")));
}

TEST_F(TrafficHistoryTest, SkipsEachKindOfBadLineAndKeepsTheDaysAroundIt) {
    const char* const badLines[] = {
        "3 12 2026 lost 5.000000",      // a word
        "3 12 2026 1.0",                // four numbers
        "3 12 2026 1.0 2.0 3.0",        // six numbers
        "3 12 2026 nan 1.0",            // not finite
        "3 12 2026 1.0 inf",            //
        "3 12 2026 -0.5 1.0",           // negative
        "3 12 2026 1.0 10000000001.0",  // above 10^10 MB
        "31 11 2026 1.0 1.0",           // November has 30 days
        "29 2 2025 1.0 1.0",            // not a leap year
        "0 12 2026 1.0 1.0",            //
        "3 13 2026 1.0 1.0",            //
        "3 12 0 1.0 1.0",               //
        "\x01\xff 3 12 2026",           // binary junk
    };
    // Around each bad line, valid days at the edges: a leap day, the largest amount, -0.
    const std::string before = "V1.0.0\n29 2 2024 1.0 2.0\n";
    const std::string after = "\n4 12 2026 -0.0 10000000000.0\n5 12 2026 0.5 0.25\n";
    const std::string kept =
        "V1.0.0\n"
        "29 2 2024 1.000000 2.000000\n"
        "4 12 2026 0.000000 10000000000.000000\n"
        "5 12 2026 0.500000 0.250000\n"
        "7 12 2026 0.000000 0.000000\n";
    int run = 0;
    for (const char* bad : badLines) {
        const CDataFolder here(temp.Str() + "/run" + std::to_string(run++), "");
        ASSERT_TRUE(here.EnsureDataFolder());
        const std::string original = before + bad + after;
        ASSERT_TRUE(WriteFileAtomically(here.DataFilePath("stats.dat"), original));

        CTrafficHistory history(here, ms, clock);
        EXPECT_EQ(history.SinceDownload(), 10000000002.25) << bad;
        ASSERT_TRUE(history.Save()) << bad;
        EXPECT_EQ(Read(here.DataFilePath("stats.dat")), kept) << bad;
        EXPECT_EQ(Read(here.DataFilePath("stats.dat.bad")), original) << bad;

        // The file written back is sound: the next run keeps no copy.
        CTrafficHistory next(here, ms, clock);
        ASSERT_TRUE(next.Save());
        EXPECT_FALSE(FileExists(here.DataFilePath("stats.dat.bad.1"))) << bad;
    }
}

TEST_F(TrafficHistoryTest, AKeepsakeNeverReplacesAnEarlierOne) {
    InstallFile("V1.0.0\nfirst damage\n");
    // Whatever holds a name keeps it: a file, a folder, even a link that leads nowhere.
    ASSERT_TRUE(WriteFileAtomically(folder.DataFilePath("stats.dat.bad"), "earlier keepsake"));
    std::filesystem::create_directory(folder.DataFilePath("stats.dat.bad.1"));
    std::filesystem::create_symlink("/nowhere", folder.DataFilePath("stats.dat.bad.2"));
    {
        CTrafficHistory history(folder, ms, clock);
        ASSERT_TRUE(history.Save());
    }
    EXPECT_EQ(Read(folder.DataFilePath("stats.dat.bad")), "earlier keepsake");
    EXPECT_TRUE(std::filesystem::is_directory(folder.DataFilePath("stats.dat.bad.1")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.DataFilePath("stats.dat.bad.2")));
    EXPECT_EQ(Read(folder.DataFilePath("stats.dat.bad.3")), "V1.0.0\nfirst damage\n");

    // A later run with another damaged file takes the next free name.
    InstallFile("V1.0.0\n7 12 2026 1.0 1.0\nsecond damage\n");
    {
        CTrafficHistory history(folder, ms, clock);
        ASSERT_TRUE(history.Save());
    }
    EXPECT_EQ(Read(folder.DataFilePath("stats.dat.bad.3")), "V1.0.0\nfirst damage\n");
    EXPECT_EQ(Read(folder.DataFilePath("stats.dat.bad.4")),
              "V1.0.0\n7 12 2026 1.0 1.0\nsecond damage\n");
    EXPECT_EQ(Read(StatsPath()), "V1.0.0\n7 12 2026 1.000000 1.000000\n");
}

TEST_F(TrafficHistoryTest, HeaderOnlyEmptyAndCrLfFiles) {
    for (const char* text : {"V1.0.0\n", "", "something else\r\n\r\n"}) {
        InstallFile(text);
        CTrafficHistory history(folder, ms, clock);
        EXPECT_EQ(history.SinceDate(), (LocalDate{7, 12, 2026})) << text;
        EXPECT_EQ(history.MonthCount(), 1);
    }

    InstallFixture("history_crlf.dat");  // CR LF, and no line end after the last record
    CTrafficHistory history(folder, ms, clock);
    EXPECT_EQ(history.SinceDate(), (LocalDate{5, 12, 2026}));
    EXPECT_EQ(history.SinceDownload(), 12.25);
    EXPECT_EQ(history.SinceUpload(), 1.5);
    EXPECT_EQ(history.Snapshot().at(2026).at(12).size(), 3u);
}

TEST_F(TrafficHistoryTest, AmountsReadBackAtFullPrecision) {
    {
        CTrafficHistory history(folder, ms, clock);
        history.Update(123456789.123456, 98765.432109);
        ASSERT_TRUE(history.Save());
    }
    CTrafficHistory history(folder, ms, clock);
    // Single precision would give 123456792 and 98765.43.
    EXPECT_EQ(history.CurrentDay().downloaded, 123456789.123456);
    EXPECT_EQ(history.CurrentDay().uploaded, 98765.432109);
}

TEST_F(TrafficHistoryTest, SavesEveryFiveMinutesOnUpdateAcrossTheClockWrap) {
    ms.Set(0xFFFFFFFFu - 100000u);  // the first deadline lies past the wrap
    CTrafficHistory history(folder, ms, clock);
    ms.Advance(1000);
    history.Update(1.0, 1.0);
    EXPECT_FALSE(FileExists(StatsPath()));
    ms.Advance(299000);  // exactly at the deadline, after the wrap
    history.Update(2.0, 1.0);
    EXPECT_FALSE(FileExists(StatsPath()));
    ms.Advance(1);
    history.Update(3.0, 1.0);
    ASSERT_TRUE(FileExists(StatsPath()));
    EXPECT_EQ(Read(StatsPath()), "V1.0.0\n7 12 2026 1.000000 3.000000\n");

    // The next deadline is five minutes after that save; without updates nothing is saved.
    std::filesystem::remove(StatsPath());
    ms.Advance(150000);
    history.Update(4.0, 1.0);
    EXPECT_FALSE(FileExists(StatsPath()));
    ms.Advance(400000);
    EXPECT_FALSE(FileExists(StatsPath()));
    history.Update(5.0, 1.0);
    EXPECT_TRUE(FileExists(StatsPath()));
}

TEST_F(TrafficHistoryTest, FailedSaveReportsFalseAndKeepsThePreviousFile) {
    InstallFixture("history_crlf.dat");
    const std::string original = Read(StatsPath());
    CTrafficHistory history(folder, ms, clock);
    history.Update(1.0, 1.0);
    {
        FileSizeLimit limit(40);  // the new file would be longer
        EXPECT_FALSE(history.Save());
    }
    EXPECT_EQ(Read(StatsPath()), original);
    const auto entries = std::distance(std::filesystem::directory_iterator(folder.DataFolder()),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);        // no temporary file left behind
    ASSERT_TRUE(history.Save());  // the obstacle is gone

    // A data folder that cannot be made.
    std::ofstream(temp.Str() + "/file") << "x";
    CTrafficHistory blocked(CDataFolder(temp.Str() + "/file/Tallyglass", ""), ms, clock);
    EXPECT_FALSE(blocked.Save());

    // A folder named stats.dat counts as an unreadable history and is never replaced.
    const CDataFolder odd(temp.Str() + "/odd", "");
    std::filesystem::create_directories(odd.DataFilePath("stats.dat"));
    CTrafficHistory oddHistory(odd, ms, clock);
    EXPECT_EQ(oddHistory.SinceDate(), (LocalDate{7, 12, 2026}));
    oddHistory.Update(1.0, 1.0);
    EXPECT_FALSE(oddHistory.Save());
    EXPECT_TRUE(std::filesystem::is_directory(odd.DataFilePath("stats.dat")));
}

TEST_F(TrafficHistoryTest, FailedSaveInReadOnlyFolder) {
    if (!ReadOnlyFoldersStopWrites(temp.Str())) {
        GTEST_SKIP() << "running as root: permission bits are not enforced";
    }
    InstallFixture("history_crlf.dat");
    const std::string original = Read(StatsPath());
    CTrafficHistory history(folder, ms, clock);
    history.Update(1.0, 1.0);
    chmod(folder.DataFolder().c_str(), 0500);
    EXPECT_FALSE(history.Save());
    chmod(folder.DataFolder().c_str(), 0700);
    EXPECT_EQ(Read(StatsPath()), original);
}

TEST_F(TrafficHistoryTest, ObserversHearEveryUpdateAfterTheFigures) {
    CTrafficHistory history(folder, ms, clock);
    struct Listener : CObserver {
        const CTrafficHistory& history;
        std::vector<double> seen;
        explicit Listener(const CTrafficHistory& h) : history(h) {}
        void Update() override { seen.push_back(history.CurrentDay().downloaded); }
    } listener(history);
    history.Attach(listener);
    history.Update(1.0, 0.0);
    history.Update(1.0, 0.0);  // no growth still notifies
    history.Update(2.5, 0.0);
    EXPECT_EQ(listener.seen, (std::vector<double>{1.0, 1.0, 2.5}));
    history.Detach(listener);
}
