#include "persistence/HistoryExport.h"

#include <gtest/gtest.h>

namespace {

// Out of order, a repeated date (the first wins, as in the meter) and a bad line between.
constexpr const char* kHistory =
    "V1.0.0\n"
    "2 1 2027 0.500000 1536.250000\n"
    "31 12 2026 10.000000 20.000000\n"
    "31 12 2026 99.000000 99.000000\n"
    "not a day\n"
    "9 2 2024 0.000001 0.000000\n";

}  // namespace

TEST(HistoryExport, CsvListsEachRecordedDayOnceOldestFirst) {
    EXPECT_EQ(ExportHistory(ParseHistory(kHistory), ExportFormat::Csv, {7, 12, 2026}),
              "date,download_mib,upload_mib,total_mib\n"
              "2024-02-09,0.000000,0.000001,0.000001\n"
              "2026-12-31,20.000000,10.000000,30.000000\n"
              "2027-01-02,1536.250000,0.500000,1536.750000\n");
}

TEST(HistoryExport, JsonStartsSinceTheFirstDayOrTodayWithoutAny) {
    EXPECT_EQ(
        ExportHistory(ParseHistory(kHistory), ExportFormat::Json, {7, 12, 2026}),
        "{\"since\": \"2024-02-09\", \"days\": [\n"
        "  {\"date\": \"2024-02-09\", \"download_mib\": 0.000000, \"upload_mib\": 0.000001},\n"
        "  {\"date\": \"2026-12-31\", \"download_mib\": 20.000000, \"upload_mib\": 10.000000},\n"
        "  {\"date\": \"2027-01-02\", \"download_mib\": 1536.250000, \"upload_mib\": "
        "0.500000}\n"
        "]}\n");
    EXPECT_EQ(ExportHistory(ParseHistory("V1.0.0\n"), ExportFormat::Json, {7, 12, 2026}),
              "{\"since\": \"2026-12-07\", \"days\": []}\n");
    EXPECT_EQ(ExportHistory({}, ExportFormat::Csv, {7, 12, 2026}),
              "date,download_mib,upload_mib,total_mib\n");
}
