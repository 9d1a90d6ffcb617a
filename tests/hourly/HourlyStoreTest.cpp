#include "hourly/CHourlyStore.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "FakeClocks.h"
#include "TempDir.h"
#include "hourly/CHourlyTally.h"
#include "persistence/CSaveFailureNotice.h"
#include "persistence/DataFile.h"

namespace {

// 2026-03-29 00:00 UTC; in a zone one hour ahead that puts clocks forward at 01:00 UTC
// (23-hour day), and back on 2026-10-25 01:00 UTC (25-hour day).
constexpr std::int64_t kMarch29 = 1774742400;
constexpr std::int64_t kOctober25 = 1792886400;
constexpr std::int64_t kHour = 3600;

class HourlyStoreTest : public ::testing::Test {
protected:
    std::string Path() const { return temp.Str() + "/history.sqlite"; }

    TempDir temp;
    CSaveFailureNotice notice;
    CDataFolder folder = CDataFolder(temp.Str(), "/opt/").ReportingTo(notice);
    FakeLocalZone zone{3600};
};

}  // namespace

TEST(HourlyTally, SamplesGoToTheLocalHourThatHoldsThem) {
    struct Row {
        const char* name;
        int offset;
        std::int64_t at;
        std::int64_t hourStart;
    } const rows[] = {
        {"first second of an hour", 3600, kMarch29, kMarch29},
        {"last second of an hour", 3600, kMarch29 + kHour - 1, kMarch29},
        {"before midnight UTC", 0, kMarch29 - 1, kMarch29 - kHour},
        {"half-hour zone: hours begin at half past", 19800, kMarch29 + 1000, kMarch29 - 1800},
        {"west of UTC", -18000, kMarch29 + 4000, kMarch29 + kHour},
    };
    for (const Row& row : rows) {
        FakeLocalZone zone(row.offset);
        CHourlyTally tally(zone);
        tally.Add("eth0", true, 10, 1, row.at);
        ASSERT_EQ(tally.Rows().size(), 1u) << row.name;
        EXPECT_EQ(tally.Rows()[0].hourStart, row.hourStart) << row.name;
    }
}

TEST(HourlyTally, AddsPerInterfaceAndHourAndReusesItsRowsAfterClear) {
    FakeLocalZone zone(0);
    CHourlyTally tally(zone);
    tally.Add("eth0", true, 100, 10, kMarch29 + 5);
    tally.Add("wlan0", false, 0, 0, kMarch29 + 6);  // met, moved nothing: still a row
    tally.Add("eth0", true, 50, 5, kMarch29 + 7);
    tally.Add("eth0", true, 1, 1, kMarch29 + kHour);  // the next hour
    ASSERT_EQ(tally.Rows().size(), 3u);
    EXPECT_EQ(tally.Rows()[0].received + tally.Rows()[0].sent, 165u);
    EXPECT_FALSE(tally.Rows()[1].monitored);

    const HourRow* storage = tally.Rows().data();
    tally.Clear();
    tally.Add("eth0", true, 3, 3, kMarch29 + kHour + 9);
    EXPECT_EQ(tally.Rows().data(), storage);
    EXPECT_EQ(tally.Rows()[0].received, 3u);
}

TEST_F(HourlyStoreTest, ANewFileIsTheUsersAloneAndSavesAddToTheirHour) {
    CHourlyStore store(folder, zone);
    ASSERT_EQ(store.Open(kMarch29), CHourlyStore::OpenOutcome::Created);
    struct stat info {};
    ASSERT_EQ(stat(Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const std::vector<HourRow> first = {{"eth0", kMarch29, 5'000'000'000ull, 7, true},
                                        {"docker0", kMarch29, 40, 40, false}};
    const std::vector<HourRow> second = {{"eth0", kMarch29, 1, 1, true}};
    ASSERT_TRUE(store.Save(first));
    ASSERT_TRUE(store.Save(second));

    CHourlyStore reopened(folder, zone);
    ASSERT_EQ(reopened.Open(kMarch29), CHourlyStore::OpenOutcome::Opened);
    std::vector<HourRow> all;
    ASSERT_TRUE(reopened.ForEachHour([&](const HourRow& row) { all.push_back(row); }));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].interfaceName, "docker0");  // by name
    EXPECT_FALSE(all[0].monitored);
    EXPECT_EQ(all[1].received, 5'000'000'001ull);  // beyond 32 bits, added
    EXPECT_EQ(all[1].sent, 8u);
    EXPECT_EQ(reopened.Interfaces().size(), 2u);
    EXPECT_FALSE(notice.HasFailed());
}

TEST_F(HourlyStoreTest, DaysAreLocalAndADaylightSavingDayHasItsOwnNumberOfHours) {
    struct Row {
        const char* name;
        FakeLocalZone zone;
        LocalDate date;
        std::int64_t dayStartUtc;
        std::size_t hours;
    } const rows[] = {
        {"clocks forward",
         FakeLocalZone(3600, kMarch29 + kHour, 7200),
         {29, 3, 2026},
         kMarch29 - kHour,
         23},
        {"clocks back",
         FakeLocalZone(7200, kOctober25 + kHour, 3600),
         {25, 10, 2026},
         kOctober25 - 2 * kHour,
         25},
        {"an ordinary day", FakeLocalZone(3600), {30, 3, 2026}, kMarch29 + 23 * kHour, 24},
    };
    for (const Row& row : rows) {
        TempDir dir;
        CHourlyStore store(CDataFolder(dir.Str(), "/opt/"), row.zone);
        ASSERT_NE(store.Open(kMarch29), CHourlyStore::OpenOutcome::Failed) << row.name;
        // One byte in every hour from the hour before the day to the hour after it.
        CHourlyTally tally(row.zone);
        for (std::int64_t at = row.dayStartUtc - kHour; at < row.dayStartUtc + 27 * kHour;
             at += kHour) {
            tally.Add("eth0", true, 1, 0, at + 60);
            tally.Add("vpn0", false, 1, 0, at + 60);
        }
        ASSERT_TRUE(store.Save(tally.Rows())) << row.name;

        const std::vector<HourTotal> hours = store.HoursOfDay("eth0", row.date);
        ASSERT_EQ(hours.size(), row.hours) << row.name;
        EXPECT_EQ(hours.front().hourStart, row.dayStartUtc) << row.name;
        EXPECT_EQ(hours.front().local.hour, 0) << row.name;
        EXPECT_EQ(hours.back().local.hour, 23) << row.name;
        for (const HourTotal& hour : hours) {
            EXPECT_EQ(hour.received, 1u) << row.name << " " << hour.local.hour;
        }
        const std::vector<DayTotal> days =
            store.DayTotals("eth0", AddDays(row.date, -1), AddDays(row.date, 1));
        ASSERT_EQ(days.size(), 3u) << row.name;
        EXPECT_EQ(days[1].date, row.date) << row.name;
        EXPECT_EQ(days[1].received, row.hours) << row.name;
        // All monitored: the excluded interface is left out.
        EXPECT_EQ(store.DayTotals(CHourlyStore::kAllMonitored, row.date, row.date)[0].received,
                  row.hours)
            << row.name;
    }
}

TEST_F(HourlyStoreTest, TheMetersCountWinsOverAnImportedOneAndImportsReplaceNotAdd) {
    CHourlyStore store(folder, zone);
    ASSERT_NE(store.Open(kMarch29), CHourlyStore::OpenOutcome::Failed);
    ASSERT_TRUE(store.Save(std::vector<HourRow>{{"eth0", kMarch29, 10, 10, true}}));

    const std::vector<HourRow> imported = {{"eth0", kMarch29, 999, 999, true},
                                           {"eth0", kMarch29 + kHour, 20, 20, true}};
    const CHourlyStore::ImportBatch batch[] = {{imported, HourOrigin::ImportedHour}};
    int changed = -1;
    ASSERT_TRUE(store.Import(batch, &changed));
    EXPECT_EQ(changed, 1);
    ASSERT_TRUE(store.Import(batch, &changed));
    EXPECT_EQ(changed, 0);

    // The meter now counts the imported hour itself: its figure replaces the import's.
    ASSERT_TRUE(store.Save(std::vector<HourRow>{{"eth0", kMarch29 + kHour, 3, 3, true}}));
    const std::vector<HourTotal> hours = store.HoursOfDay("eth0", {29, 3, 2026});
    EXPECT_EQ(hours[1].received, 10u);
    EXPECT_EQ(hours[2].received, 3u);
}

TEST_F(HourlyStoreTest, AnUnreadableFileIsMovedAsideOnceAndNeverOverAnEarlierOne) {
    struct Row {
        const char* name;
        std::string contents;
    } const rows[] = {
        {"garbage", std::string(8192, 'x')},
        {"a truncated header", "SQLite format 3"},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const std::string path = dir.Str() + "/history.sqlite";
        std::ofstream(path) << row.contents;
        std::ofstream(path + ".bad-2026-03-29") << "earlier";
        CHourlyStore store(CDataFolder(dir.Str(), "/opt/"), zone);
        ASSERT_EQ(store.Open(kMarch29 + 60), CHourlyStore::OpenOutcome::MovedAside) << row.name;
        EXPECT_EQ(store.KeptAs(), path + ".bad-2026-03-29.1") << row.name;
        std::string kept;
        ASSERT_TRUE(ReadTextFile(store.KeptAs(), kept));
        EXPECT_EQ(kept, row.contents) << row.name;
        EXPECT_TRUE(store.Save(std::vector<HourRow>{{"eth0", kMarch29, 1, 1, true}})) << row.name;

        CHourlyStore again(CDataFolder(dir.Str(), "/opt/"), zone);
        EXPECT_EQ(again.Open(kMarch29), CHourlyStore::OpenOutcome::Opened) << row.name;
    }
}

TEST_F(HourlyStoreTest, DamageFoundByASaveMovesTheFileAsideAndTheSaveGoesToANewOne) {
    const std::vector<HourRow> rows = {{"eth0", kMarch29, 1, 1, true}};
    ASSERT_TRUE(CHourlyStore(folder, zone).Open(kMarch29) == CHourlyStore::OpenOutcome::Created);
    CHourlyStore store(folder, zone);
    ASSERT_EQ(store.Open(kMarch29), CHourlyStore::OpenOutcome::Opened);
    {
        // Everything past the first page (the schema, already read) turns to noise.
        std::fstream file(Path(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(4096);
        file << std::string(8192, '\x5a');
    }
    EXPECT_TRUE(store.Save(rows));
    EXPECT_EQ(store.Outcome(), CHourlyStore::OpenOutcome::MovedAside);
    EXPECT_EQ(store.KeptAs(), Path() + ".bad-2026-03-29");
    EXPECT_EQ(store.HoursOfDay("eth0", {29, 3, 2026})[1].received, 1u);  // 01:00 local
    EXPECT_FALSE(notice.HasFailed());
}

TEST_F(HourlyStoreTest, AFullDiskIsToldAndTheRowsGoInWholeOnceThereIsRoom) {
    const std::string small = temp.Str() + "/small";
    std::filesystem::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k,mode=0700") != 0) {
        GTEST_SKIP() << "only root may mount a small file system";
    }
    // Unmounted last, however the test ends, after the store has let go of its files.
    const std::shared_ptr<void> unmount(nullptr,
                                        [&](void*) { ::umount2(small.c_str(), MNT_DETACH); });
    CSaveFailureNotice told;
    CHourlyStore store(CDataFolder(small, "/opt/").ReportingTo(told), zone);
    ASSERT_NE(store.Open(kMarch29), CHourlyStore::OpenOutcome::Failed);
    std::ofstream(small + "/filler") << std::string(200 * 1024, 'x');
    std::vector<HourRow> rows;
    for (int i = 0; i < 4000; ++i) {
        rows.push_back({"eth" + std::to_string(i % 8), kMarch29 + i * kHour, 1, 1, true});
    }
    EXPECT_FALSE(store.Save(rows));
    ASSERT_TRUE(told.HasFailed());
    EXPECT_EQ(told.First().fileName, "history.sqlite");
    EXPECT_EQ(told.First().errorNumber, ENOSPC);
    EXPECT_TRUE(store.Interfaces().empty());  // nothing of the failed transaction

    std::filesystem::remove(small + "/filler");
    EXPECT_TRUE(store.Save(rows));
    std::uint64_t received = 0;
    for (const DayTotal& day : store.DayTotals("eth0", {1, 1, 2026}, {31, 12, 2026})) {
        received += day.received;
    }
    EXPECT_EQ(received, 500u);
}
