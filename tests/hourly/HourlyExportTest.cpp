#include "hourly/HourlyExport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeClocks.h"
#include "TempDir.h"

namespace {

// 2026-10-25 00:00 UTC: a zone two hours ahead puts its clocks back to one hour ahead at 01:00
// UTC, so the local hour 02:00 comes twice.
constexpr std::int64_t kOctober25 = 1792886400;
constexpr std::int64_t kHour = 3600;

}  // namespace

// Both hours named 02:00 on the day the clocks go back stay apart by their offsets; interfaces
// come by name, hours in time order; a narrowed export has one interface only; the JSON
// document closes however many interfaces it holds.
TEST(HourlyExport, HoursAreLocalWithTheirOffsetPerInterfaceInTimeOrder) {
    TempDir dir;
    const FakeLocalZone zone(7200, kOctober25 + kHour, 3600);
    CHourlyStore store(CDataFolder(dir.Str(), "/opt/"), zone);
    ASSERT_EQ(store.Open(kOctober25), CHourlyStore::OpenOutcome::Created);
    const std::vector<HourRow> rows = {
        {"wlan0", kOctober25 + kHour, 5, 6, true},
        {"eth0", kOctober25 + kHour, 3, 4, true},
        {"eth0", kOctober25, 1, 2, true},
        {"docker0", kOctober25, 7, 8, false},
    };
    ASSERT_TRUE(store.Save(rows));

    struct Case {
        const char* name;
        ExportFormat format;
        const char* interfaceName;
        std::string expected;
    } const cases[] = {
        {"csv, every interface", ExportFormat::Csv, "",
         "interface,hour,download_bytes,upload_bytes,total_bytes,monitored\n"
         "docker0,2026-10-25T02:00+02:00,7,8,15,0\n"
         "eth0,2026-10-25T02:00+02:00,1,2,3,1\n"
         "eth0,2026-10-25T02:00+01:00,3,4,7,1\n"
         "wlan0,2026-10-25T02:00+01:00,5,6,11,1\n"},
        {"csv, one interface", ExportFormat::Csv, "wlan0",
         "interface,hour,download_bytes,upload_bytes,total_bytes,monitored\n"
         "wlan0,2026-10-25T02:00+01:00,5,6,11,1\n"},
        {"json, two hours of one interface", ExportFormat::Json, "eth0",
         "{\"interfaces\": [\n"
         "  {\"name\": \"eth0\", \"hours\": [\n"
         "    {\"hour\": \"2026-10-25T02:00+02:00\", \"download_bytes\": 1, \"upload_bytes\": 2, "
         "\"monitored\": true},\n"
         "    {\"hour\": \"2026-10-25T02:00+01:00\", \"download_bytes\": 3, \"upload_bytes\": 4, "
         "\"monitored\": true}\n"
         "  ]}\n]}\n"},
        {"json, an interface without hours", ExportFormat::Json, "ppp0", "{\"interfaces\": []}\n"},
    };
    for (const Case& c : cases) {
        std::string text;
        bool writeFailed = true;
        EXPECT_TRUE(ExportHours(
            store, c.interfaceName, c.format, zone,
            [&](const std::string& piece) {
                text += piece;
                return true;
            },
            writeFailed))
            << c.name;
        EXPECT_FALSE(writeFailed) << c.name;
        EXPECT_EQ(text, c.expected) << c.name;
    }

    // A reader that has gone stops the export and says so.
    bool writeFailed = false;
    int writes = 0;
    EXPECT_FALSE(ExportHours(
        store, "", ExportFormat::Csv, zone,
        [&](const std::string&) {
            ++writes;
            return false;
        },
        writeFailed));
    EXPECT_TRUE(writeFailed);
    EXPECT_EQ(writes, 1);
}

// West of UTC the offset is negative, and a zone off by half an hour shows its minutes.
TEST(HourlyExport, OffsetsWestOfUtcAndOfHalfHours) {
    struct Case {
        int offset;
        const char* expected;
    } const cases[] = {
        {-5 * 3600, "2026-10-24T19:00-05:00"},
        {5 * 3600 + 1800, "2026-10-25T05:30+05:30"},
        {0, "2026-10-25T00:00+00:00"},
    };
    for (const Case& c : cases) {
        std::string text;
        AppendHourStart(text, kOctober25, FakeLocalZone(c.offset));
        EXPECT_EQ(text, c.expected) << c.offset;
    }
}
