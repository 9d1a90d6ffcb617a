#include "hourly/VnstatImport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FakeClocks.h"
#include "TempDir.h"
#include "hourly/VnstatJson.h"
#include "persistence/DataFile.h"

namespace {

const std::string kData = TALLYGLASS_TEST_DATA;

std::string ReadFixture(const char* name) {
    std::string text;
    EXPECT_TRUE(ReadTextFile(kData + "/" + name, text)) << name;
    return text;
}

// A vnStat document of one interface, with the given traffic lists.
std::string Document(const std::string& name, const std::string& traffic) {
    return R"({"vnstatversion":"2.10","jsonversion":"2","interfaces":[{"name":")" + name +
           R"(","traffic":{)" + traffic + "}}]}";
}

std::string Entry(int day, int hour, int minute, long long rx, long long tx) {
    return R"({"date":{"year":2026,"month":12,"day":)" + std::to_string(day) +
           R"(},"time":{"hour":)" + std::to_string(hour) + R"(,"minute":)" +
           std::to_string(minute) + R"(},"rx":)" + std::to_string(rx) + R"(,"tx":)" +
           std::to_string(tx) + "}";
}

std::string DayEntry(int day, long long rx, long long tx) {
    return R"({"date":{"year":2026,"month":12,"day":)" + std::to_string(day) + R"(},"rx":)" +
           std::to_string(rx) + R"(,"tx":)" + std::to_string(tx) + "}";
}

// The fixture's second interface stands for one the user excluded.
bool AllButTheSecondPair(std::string_view name) {
    return name != "vt30c";
}

// Everything the import can change, as text.
std::string Snapshot(const CHourlyStore& store, const std::string& folder) {
    std::string all;
    store.ForEachHour([&](const HourRow& row) {
        all += row.interfaceName + " " + std::to_string(row.hourStart) + " " +
               std::to_string(row.received) + " " + std::to_string(row.sent) + "\n";
    });
    std::string stats;
    ReadTextFile(folder + "/stats.dat", stats);
    return all + stats;
}

}  // namespace

TEST(VnstatJson, ReadsWhatDebiansVnstatPrints) {
    const VnstatReading reading = ReadVnstatJson(ReadFixture("vnstat_two_veth.json"));
    ASSERT_EQ(reading.refusal, VnstatRefusal::None) << reading.detail;
    ASSERT_EQ(reading.interfaces.size(), 2u);
    const auto sum = [](const std::vector<VnstatEntry>& entries) {
        std::uint64_t bytes = 0;
        for (const VnstatEntry& entry : entries) {
            bytes += entry.received + entry.sent;
        }
        return bytes;
    };
    for (const VnstatInterface& interface : reading.interfaces) {
        // The same traffic, counted in each list: the lists agree.
        EXPECT_GT(sum(interface.days), 1000000u) << interface.name;
        EXPECT_EQ(sum(interface.hours), sum(interface.days)) << interface.name;
        EXPECT_EQ(sum(interface.fiveMinutes), sum(interface.days)) << interface.name;
    }

    const VnstatReading daysOnly = ReadVnstatJson(ReadFixture("vnstat_days_only.json"));
    ASSERT_EQ(daysOnly.refusal, VnstatRefusal::None);
    EXPECT_TRUE(daysOnly.interfaces[0].hours.empty());
    EXPECT_EQ(daysOnly.interfaces[0].days.size(), reading.interfaces[0].days.size());
}

TEST(VnstatJson, RefusesWhatIsNotVnstatsJsonWhole) {
    struct Row {
        const char* name;
        std::string text;
        VnstatRefusal refusal;
    } const rows[] = {
        {"empty", "", VnstatRefusal::NotJson},
        {"a text file", "eth0 12 MiB\n", VnstatRefusal::NotJson},
        {"JSON cut short", Document("eth0", R"("day":[)" + DayEntry(1, 1, 1)),
         VnstatRefusal::NotJson},
        {"nested too deep", std::string(100, '[') + std::string(100, ']'), VnstatRefusal::NotJson},
        {"other JSON", R"({"interfaces":[]})", VnstatRefusal::NotVnstat},
        {"an interface without a name", Document("", ""), VnstatRefusal::NotVnstat},
        {"JSON version 1", R"({"vnstatversion":"1.18","jsonversion":"1","interfaces":[]})",
         VnstatRefusal::OtherVersion},
        {"the 31st of November",
         Document("eth0", R"("day":[{"date":{"year":2026,"month":11,"day":31},"rx":1,"tx":1}])"),
         VnstatRefusal::BadEntry},
        {"negative bytes", Document("eth0", R"("day":[)" + DayEntry(1, -5, 1) + "]"),
         VnstatRefusal::BadEntry},
        {"fractional bytes",
         Document("eth0", R"("day":[{"date":{"year":2026,"month":12,"day":1},"rx":1.5,"tx":1}])"),
         VnstatRefusal::BadEntry},
        {"an hour without its time", Document("eth0", R"("hour":[)" + DayEntry(1, 1, 1) + "]"),
         VnstatRefusal::BadEntry},
    };
    for (const Row& row : rows) {
        const VnstatReading reading = ReadVnstatJson(row.text);
        EXPECT_EQ(reading.refusal, row.refusal) << row.name;
        EXPECT_TRUE(reading.interfaces.empty()) << row.name;
    }
}

TEST(VnstatImport, HoursComeFromTheHourListAndFiveMinutesFillOnlyTheHoursItLacks) {
    const std::string text = Document(
        "eth0", R"("fiveminute":[)" + Entry(8, 10, 5, 7, 7) + "," + Entry(8, 11, 5, 1, 2) + "," +
                    Entry(8, 11, 10, 10, 20) + R"(],"hour":[)" + Entry(8, 10, 0, 100, 50) +
                    R"(],"day":[)" + DayEntry(6, 1000, 500) + "," + DayEntry(8, 111, 72) + "]");
    const VnstatReading reading = ReadVnstatJson(text);
    ASSERT_EQ(reading.refusal, VnstatRefusal::None);
    const FakeLocalZone zone(3600);
    const VnstatImportPlan plan = PlanVnstatImport(reading.interfaces, zone, AllButTheSecondPair);

    constexpr std::int64_t kDecember8 = 1796688000;  // 00:00 UTC
    ASSERT_EQ(plan.hours.size(), 2u);
    EXPECT_EQ(plan.hours[0].hourStart, kDecember8 + 9 * 3600);  // 10:00 local
    EXPECT_EQ(plan.hours[0].received, 100u);
    EXPECT_EQ(plan.hours[1].received, 11u);
    EXPECT_EQ(plan.hours[1].sent, 22u);
    // The 6th has no hours: its total stands at its first hour.
    ASSERT_EQ(plan.dayTotals.size(), 1u);
    EXPECT_EQ(plan.dayTotals[0].hourStart, kDecember8 - 2 * 86400 - 3600);
    EXPECT_EQ(plan.dayTotals[0].received, 1000u);
    ASSERT_EQ(plan.days.size(), 2u);
    EXPECT_EQ(plan.days[1].day, 8);
    EXPECT_DOUBLE_EQ(plan.days[1].downloaded, 111 / 1048576.0);
}

TEST(VnstatImport, ImportingTwiceChangesNothingTheSecondTime) {
    TempDir temp;
    const CDataFolder folder(temp.Str(), "/opt/");
    const FakeLocalZone zone(0);
    CHourlyStore store(folder, zone);
    ASSERT_NE(store.Open(1796688000), CHourlyStore::OpenOutcome::Failed);
    const VnstatReading reading = ReadVnstatJson(ReadFixture("vnstat_two_veth.json"));
    const VnstatImportPlan plan = PlanVnstatImport(reading.interfaces, zone, AllButTheSecondPair);

    const VnstatImportResult first = ApplyVnstatImport(plan, store, folder);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.hoursChanged, 4);  // two hours of two interfaces
    EXPECT_EQ(first.daysAdded, 1);
    const std::string once = Snapshot(store, temp.Str());

    const VnstatImportResult second = ApplyVnstatImport(plan, store, folder);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.hoursChanged, 0);
    EXPECT_EQ(second.daysAdded, 0);
    EXPECT_EQ(Snapshot(store, temp.Str()), once);

    // The excluded interface is in the store, as every interface is, but not in the day's
    // figure.
    const std::vector<InterfaceMet> met = store.Interfaces();
    ASSERT_EQ(met.size(), 2u);
    EXPECT_EQ(met[1].name, "vt30c");
    EXPECT_FALSE(met[1].monitored);
    ASSERT_EQ(plan.days.size(), 1u);
    EXPECT_DOUBLE_EQ(plan.days[0].downloaded * 1048576.0,
                     static_cast<double>(reading.interfaces[0].days[0].received));
}

TEST(VnstatImport, StatsDatKeepsTheDaysItHasAndGainsTheOthersInDateOrder) {
    TempDir temp;
    const CDataFolder folder(temp.Str(), "/opt/");
    std::ofstream(temp.Str() + "/stats.dat") << "V1.0.0\n8 12 2026 1.000000 2.000000\n"
                                                "not a day\n";
    const std::vector<DayRecord> days = {
        {9, 12, 2026, 0, 0, 30.0, 40.0},
        {8, 12, 2026, 0, 0, 99.0, 99.0},  // the file's figures stay
        {1, 12, 2026, 0, 0, 5.0, 6.0},
    };
    int added = -1;
    ASSERT_TRUE(AddMissingHistoryDays(folder, days, &added));
    EXPECT_EQ(added, 2);
    std::string text;
    ASSERT_TRUE(ReadTextFile(temp.Str() + "/stats.dat", text));
    EXPECT_EQ(text,
              "V1.0.0\n1 12 2026 6.000000 5.000000\n8 12 2026 1.000000 2.000000\n"
              "9 12 2026 40.000000 30.000000\n");
    // The line it could not take was kept first.
    std::string kept;
    ASSERT_TRUE(ReadTextFile(temp.Str() + "/stats.dat.bad", kept));
    EXPECT_NE(kept.find("not a day"), std::string::npos);
}
