#include "webstats/CQuarterTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A local time in December 2026.
LocalDateTime At(int day, int hour, int minute) {
    return {{day, 12, 2026}, hour, minute};
}

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
    CQuarterTable table(At(7, c.lastHour, c.lastMinute));
    const bool nextDay = c.hour * 60 + c.minute < c.lastHour * 60 + c.lastMinute;
    table.Update(At(nextDay ? 8 : 7, c.hour, c.minute), 5.0, 2.0);
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
    CQuarterTable table(At(7, 9, 50));
    table.Update(At(7, 10, 16), 3.0, 1.0);  // nothing
    table.Update(At(7, 10, 59), 4.0, 1.5);  // still nothing: the last record is from minute 50
    table.Update(At(7, 11, 3), 6.0, 2.0);
    EXPECT_EQ(Recorded(table), (std::vector<std::pair<int, int>>{{10, 4}}));
    EXPECT_EQ(table.Amount(10, 4), (QuarterAmount{6.0, 2.0}));
    // The next quarter counts from that record.
    table.Update(At(7, 11, 15), 6.5, 2.25);
    EXPECT_EQ(table.Amount(11, 1), (QuarterAmount{0.5, 0.25}));
}

// Samples once a minute, from `from` up to `to`, each adding `perMinute` MB of download.
void Feed(CQuarterTable& table, double& total, LocalDateTime from, const LocalDateTime& to,
          double perMinute) {
    for (LocalDateTime t = from;;) {
        table.Update(t, total += perMinute, 0.0);
        if (t.date == to.date && t.hour == to.hour && t.minute == to.minute) {
            return;
        }
        if (++t.minute == 60) {
            t.minute = 0;
            if (++t.hour == 24) {
                t.hour = 0;
                ++t.date.day;
            }
        }
    }
}

// A table after a whole day of samples on the 6th (1 MB a minute) and the 7th (0.01 MB a minute)
// up to `to`.
CQuarterTable AfterADay(const LocalDateTime& to, double& total) {
    CQuarterTable table(At(6, 0, 0));
    Feed(table, total, At(6, 0, 0), At(6, 23, 59), 1.0);
    Feed(table, total, At(7, 0, 0), to, 0.01);
    return table;
}

TEST(QuarterTable, EachSlotShowsOnlyWhatWasMeasuredInItsHourOfTheLastDay) {
    // At each time on the 7th: today's finished quarters, and yesterday's only from the second
    // hour after the current six-hour block on, as the page shows them. The rest of the block
    // and the newest hour show nothing, also in the first minutes of a block.
    for (const auto& [hour, minute] : {std::pair{0, 5},
                                       {0, 20},
                                       {5, 50},
                                       {6, 5},
                                       {10, 16},
                                       {13, 15},
                                       {17, 59},
                                       {18, 5},
                                       {23, 50}}) {
        SCOPED_TRACE(std::to_string(hour) + ":" + std::to_string(minute));
        double total = 0.0;
        const CQuarterTable table = AfterADay(At(7, hour, minute), total);
        const int blockEnd = (hour / 6 + 1) * 6;
        for (int h = 0; h < 24; ++h) {
            for (int q = 1; q <= 4; ++q) {
                const bool today = h * 60 + q * 15 <= hour * 60 + minute && h > blockEnd - 24;
                const bool yesterday = h > blockEnd;
                EXPECT_EQ(table.IsRecorded(h, q), today || yesterday) << h << "/Q" << q;
                const double amount = table.Amount(h, q).downloaded;
                if (today) {
                    EXPECT_LT(amount, 0.2) << h << "/Q" << q;
                } else if (yesterday) {
                    EXPECT_GT(amount, 13.0) << h << "/Q" << q;
                }
            }
        }
    }
}

// Which quarters show, an hour a character from hour 0: a hex digit of q1 = 1, q2 = 2, q3 = 4,
// q4 = 8 (F: all four, 7: the first three), "." for none.
std::string Shown(const CQuarterTable& table) {
    std::string shown;
    for (int h = 0; h < 24; ++h) {
        int mask = 0;
        for (int q = 1; q <= 4; ++q) {
            mask |= table.IsRecorded(h, q) ? 1 << (q - 1) : 0;
        }
        shown += mask == 0 ? '.' : "0123456789ABCDEF"[mask];
    }
    return shown;
}

TEST(QuarterTable, SleepAndClockChangesNeverPassOldFiguresOffAsNewOnes) {
    struct Case {
        const char* name;
        LocalDateTime stop;   // samples end here on the 7th (after the whole 6th)
        LocalDateTime after;  // the next sample
        const char* shown;
    };
    const Case cases[] = {
        {"awake", At(7, 10, 50), At(7, 10, 51), "FFFFFFFFFF7..FFFFFFFFFFF"},
        // The 13th hour's last quarter takes everything since 10:50; 11 and 12 keep nothing of
        // the 6th.
        {"asleep 10:50 to 14:05", At(7, 10, 50), At(7, 14, 5), "FFFFFFFFFF7..8.....FFFFF"},
        {"asleep for a day", At(7, 10, 50), At(8, 10, 55), "........................"},
        {"asleep into the next block", At(7, 5, 50), At(7, 8, 10), "FFFFF7.8.....FFFFFFFFFFF"},
        // Put back from 18:30 to 10:30: what was counted at 11-18 by the wrong clock is not
        // shown as the 6th's.
        {"clock put back", At(7, 18, 30), At(7, 10, 30), "FFFFFFFFFFF............."},
    };
    for (const Case& c : cases) {
        double total = 0.0;
        CQuarterTable table = AfterADay(c.stop, total);
        table.Update(c.after, total + 1.0, 0.0);
        EXPECT_EQ(Shown(table), c.shown) << c.name;
    }
}

TEST(QuarterTable, EmptyAndOutOfRangeSlotsReadAsZero) {
    const CQuarterTable table(At(7, 10, 0));
    for (const auto& [hour, quarter] : {std::pair{10, 1}, {-1, 1}, {24, 1}, {3, 0}, {3, 5}}) {
        EXPECT_EQ(table.Amount(hour, quarter), QuarterAmount{});
        EXPECT_FALSE(table.IsRecorded(hour, quarter));
    }
}

}  // namespace
