#include "webstats/CQuarterTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The slots that hold something, in order.
std::vector<std::pair<int, int>> Recorded(const CQuarterTable& table) {
    std::vector<std::pair<int, int>> slots;
    for (int h = 0; h < 24; ++h) {
        for (int q = 1; q <= 4; ++q) {
            if (table.IsRecorded(h, q)) {
                slots.emplace_back(h, q);
            }
        }
    }
    return slots;
}

struct BoundaryCase {
    const char* name;
    int lastHour, lastMinute;           // the table starts as if recorded then, with totals 0
    int hour, minute;                   // the next sample
    int recordedHour, recordedQuarter;  // -1: nothing recorded
};

class QuarterBoundary : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(QuarterBoundary, RecordsTheQuarterThatEndedWithTheTrafficSinceTheLastRecord) {
    const BoundaryCase& c = GetParam();
    CQuarterTable table(c.lastHour, c.lastMinute);
    table.Update(c.hour, c.minute, 5.0, 2.0);
    if (c.recordedHour < 0) {
        EXPECT_TRUE(Recorded(table).empty());
        EXPECT_EQ(table.LastMinute(), c.lastMinute);  // still waiting for its boundary
        return;
    }
    EXPECT_EQ(Recorded(table),
              (std::vector<std::pair<int, int>>{{c.recordedHour, c.recordedQuarter}}));
    EXPECT_EQ(table.Amount(c.recordedHour, c.recordedQuarter), (QuarterAmount{5.0, 2.0}));
    EXPECT_EQ(table.LastHour(), c.recordedHour);
    EXPECT_EQ(table.LastMinute(), c.minute);
}

INSTANTIATE_TEST_SUITE_P(Cases, QuarterBoundary,
                         ::testing::Values(BoundaryCase{"Q1", 10, 2, 10, 15, 10, 1},
                                           BoundaryCase{"Q1Late", 10, 2, 10, 29, 10, 1},
                                           BoundaryCase{"Q2", 10, 15, 10, 30, 10, 2},
                                           BoundaryCase{"Q3", 10, 44, 10, 45, 10, 3},
                                           BoundaryCase{"Q4", 10, 59, 11, 0, 10, 4},
                                           BoundaryCase{"Q4OverMidnight", 23, 46, 0, 1, 23, 4},
                                           BoundaryCase{"SameQuarter", 10, 2, 10, 14, -1, -1},
                                           BoundaryCase{"SameQuarterEnd", 10, 45, 10, 59, -1, -1},
                                           // A missed boundary: 09:50 then 10:16 records nothing.
                                           BoundaryCase{"GapSkipsTwo", 9, 50, 10, 16, -1, -1},
                                           BoundaryCase{"GapFromQ1ToQ3", 10, 5, 10, 40, -1, -1}),
                         [](const auto& tested) { return std::string(tested.param.name); });

TEST(QuarterTable, AfterAGapTheNextMatchingBoundaryTakesAllTheTrafficSinceTheLastRecord) {
    CQuarterTable table(9, 50);
    table.Update(10, 16, 3.0, 1.0);  // nothing
    table.Update(10, 59, 4.0, 1.5);  // still nothing: the last record is from minute 50
    table.Update(11, 3, 6.0, 2.0);
    EXPECT_EQ(Recorded(table), (std::vector<std::pair<int, int>>{{10, 4}}));
    EXPECT_EQ(table.Amount(10, 4), (QuarterAmount{6.0, 2.0}));
    // The next quarter counts from that record.
    table.Update(11, 15, 6.5, 2.25);
    EXPECT_EQ(table.Amount(11, 1), (QuarterAmount{0.5, 0.25}));
}

TEST(QuarterTable, RecordingEmptiesTheLaterQuartersOfItsHourAndTheRestOfItsBlock) {
    struct Case {
        int hour;
        int quarter;
    };
    for (const Case c : {Case{13, 1}, Case{20, 3}, Case{23, 2}, Case{8, 4}, Case{0, 1}}) {
        SCOPED_TRACE(std::to_string(c.hour) + "/Q" + std::to_string(c.quarter));
        const int blockStart = c.hour / 6 * 6;
        double total = 0.0;
        // Yesterday: every quarter of the block recorded.
        CQuarterTable table(blockStart, 0);
        for (int h = blockStart; h < blockStart + 6; ++h) {
            for (const int m : {15, 30, 45}) {
                table.Update(h, m, total += 1.0, 0.0);
            }
            table.Update((h + 1) % 24, 0, total += 1.0, 0.0);
        }
        // Then records elsewhere leave the last record just before the target quarter began.
        const int elsewhere = (c.hour + 6) % 24;
        for (int q = 1; q < c.quarter; ++q) {
            table.Update(elsewhere, q * 15, total += 1.0, 0.0);
        }
        const CQuarterTable before = table;

        const int minute = c.quarter * 15 % 60;
        table.Update(c.quarter == 4 ? (c.hour + 1) % 24 : c.hour, minute, total + 0.5, 0.0);

        EXPECT_EQ(table.Amount(c.hour, c.quarter), (QuarterAmount{0.5, 0.0}));
        for (int h = 0; h < 24; ++h) {
            for (int q = 1; q <= 4; ++q) {
                const bool cleared =
                    (h == c.hour && q > c.quarter) || (h > c.hour && h < blockStart + 6);
                if (cleared) {
                    EXPECT_FALSE(table.IsRecorded(h, q)) << h << "/Q" << q;
                } else if (h != c.hour || q != c.quarter) {
                    EXPECT_EQ(table.IsRecorded(h, q), before.IsRecorded(h, q)) << h << "/Q" << q;
                    EXPECT_EQ(table.Amount(h, q), before.Amount(h, q)) << h << "/Q" << q;
                }
            }
        }
        // What was cleared had been there.
        EXPECT_TRUE((c.hour == blockStart + 5 && c.quarter == 4) ||
                    before.IsRecorded(c.quarter == 4 ? c.hour + 1 : c.hour, c.quarter % 4 + 1));
    }
}

TEST(QuarterTable, EmptyAndOutOfRangeSlotsReadAsZero) {
    const CQuarterTable table(10, 0);
    for (const auto& [hour, quarter] : {std::pair{10, 1}, {-1, 1}, {24, 1}, {3, 0}, {3, 5}}) {
        EXPECT_EQ(table.Amount(hour, quarter), QuarterAmount{});
        EXPECT_FALSE(table.IsRecorded(hour, quarter));
    }
}

}  // namespace
