#include "statistics/StatisticsLists.h"

#include <gtest/gtest.h>

#include "FakeLocaleTexts.h"
#include "HistoryTableBuilder.h"
#include "statistics/CShownMonth.h"

namespace {

// November and December 2025 and January 2026, written out of order on purpose.
HistoryTableBuilder WinterHistory() {
    HistoryTableBuilder history;
    history.Add(1, 1, 2026, 0.5, 0.5)
        .Add(31, 12, 2025, 1.0, 1.0)
        .Add(1, 12, 2025, 2048.0, 1.0)
        .Add(29, 11, 2025, 100.0, 10.0)
        .Add(30, 11, 2025, 0.5, 0.3);
    return history;
}

}  // namespace

TEST(StatisticsLists, MonthsAreListedNewestFirstWithTheirSums) {
    const auto rows = MonthRows(WinterHistory().Table(), FakeLocaleTexts());
    ASSERT_EQ(rows.size(), 3u);
    // 0.5 + 0.5 MB is below 1.024 MB, so the January total is still in KB.
    EXPECT_EQ(rows[0].cells,
              (std::array<std::string, 5>{"January", "2026", "512.0 KB", "512.0 KB", "1024.0 KB"}));
    EXPECT_EQ(rows[1].cells,
              (std::array<std::string, 5>{"December", "2025", "2.0 GB", "2.0 MB", "2.0 GB"}));
    EXPECT_EQ(rows[2].cells,
              (std::array<std::string, 5>{"November", "2025", "100.5 MB", "10.3 MB", "110.8 MB"}));
    EXPECT_EQ(rows[0].key, (MonthKey{1, 2026}));
    EXPECT_EQ(rows[1].key, (MonthKey{12, 2025}));
    EXPECT_EQ(rows[2].key, (MonthKey{11, 2025}));

    HistoryTableBuilder february;
    february.Add(3, 2, 2026, 1.5, 0.0);
    EXPECT_EQ(MonthRows(february.Table(), FakeLocaleTexts())[0].cells[0], "February");
}

TEST(StatisticsLists, DaysAreListedNewestFirstWithLocaleDates) {
    const HistoryTableBuilder history = WinterHistory();
    const auto rows = DayRows(history.Month(12, 2025), {12, 2025}, FakeLocaleTexts());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].day, 31);
    EXPECT_EQ(rows[0].cells,
              (std::array<std::string, 4>{"31/12/2025", "1024.0 KB", "1024.0 KB", "2.0 MB"}));
    EXPECT_EQ(rows[1].cells,
              (std::array<std::string, 4>{"1/12/2025", "2.0 GB", "1024.0 KB", "2.0 GB"}));
}

TEST(StatisticsLists, FindsOnlyRecordedMonths) {
    const HistoryTableBuilder history = WinterHistory();
    EXPECT_EQ(FindMonth(history.Table(), {11, 2025}), &history.Month(11, 2025));
    EXPECT_EQ(FindMonth(history.Table(), {10, 2025}), nullptr);  // year known, month not
    EXPECT_EQ(FindMonth(history.Table(), {11, 2024}), nullptr);  // year unknown
}

std::vector<int> Widths(const std::vector<ListColumn>& columns) {
    std::vector<int> widths;
    for (const ListColumn& column : columns) {
        widths.push_back(column.width);
    }
    return widths;
}

// In a small font the columns keep the widths the lists were first laid out with; in a larger one
// each grows to its widest text or its title. Total gives up the scroll bar's width once the rows
// no longer fit, and a month that is not recorded has no Total column.
TEST(StatisticsLists, ColumnsFitTheirWidestTextsAndMakeRoomForTheScrollBar) {
    const FakeLocaleTexts texts;  // "28/12/2026"
    const ListMeasure small{[](const std::string&) { return 0; },
                            [](const std::string&) { return 0; }, 17};
    // 7 pixels a character and 10 of margins in a cell, 9 and 12 in a title.
    const ListMeasure large{
        [](const std::string& t) { return 7 * static_cast<int>(t.size()) + 10; },
        [](const std::string& t) { return 9 * static_cast<int>(t.size()) + 12; }, 15};
    struct Case {
        const char* what;
        const ListMeasure& measure;
        int count;
        std::vector<int> months;
        std::vector<int> days;
    };
    const Case cases[] = {
        {"small font, one row", small, 1, {62, 41, 75, 65, 76}, {63, 80, 80, 96}},
        {"small font, 17 rows", small, 17, {62, 41, 75, 65, 76}, {63, 80, 80, 96}},
        {"small font, 18 rows", small, 18, {62, 41, 75, 65, 58}, {63, 80, 80, 96}},
        {"small font, 19 rows", small, 19, {62, 41, 75, 65, 58}, {63, 80, 80, 78}},
        // "September", "Year", "Downloaded", "Uploaded", "9999.9 MB" beside the scroll bar.
        {"large font, one row", large, 1, {73, 48, 102, 84, 88}, {80, 102, 84, 96}},
        {"large font, 19 rows", large, 19, {73, 48, 102, 84, 73}, {80, 102, 84, 78}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Widths(MonthListColumns(c.count, c.measure, texts)), c.months) << c.what;
        EXPECT_EQ(Widths(DayListColumns(c.count, c.measure, texts)), c.days) << c.what;
    }
    EXPECT_EQ(ColumnsWidth(MonthListColumns(1, large, texts)), 73 + 48 + 102 + 84 + 88);
    EXPECT_EQ(DayListColumns(0, small, texts).size(), 3u);
}

// What a history update asks of the window, from the date it was built for and the month shown.
TEST(ShownMonth, RefreshFollowsTheDateAndTheUsersChoice) {
    using R = CShownMonth::Refresh;
    struct Case {
        const char* what;
        MonthKey chosen;  // {0, 0}: nothing chosen since the build
        LocalDate current;
        R expected;
    };
    const LocalDate built{15, 3, 2026};
    const Case cases[] = {
        {"same day, current month shown", {0, 0}, {15, 3, 2026}, R::Today},
        {"same day, another month chosen", {1, 2026}, {15, 3, 2026}, R::Keep},
        {"same day, current month chosen again", {3, 2026}, {15, 3, 2026}, R::Today},
        {"midnight", {0, 0}, {16, 3, 2026}, R::Rebuild},
        {"midnight while another month is shown", {1, 2026}, {16, 3, 2026}, R::Rebuild},
        {"slept until the same day of the next month", {0, 0}, {15, 4, 2026}, R::Rebuild},
        {"slept until the same day a year later", {0, 0}, {15, 3, 2027}, R::Rebuild},
        {"clock set back a day", {0, 0}, {14, 3, 2026}, R::Rebuild},
    };
    for (const Case& c : cases) {
        CShownMonth shown;
        shown.Built(built);
        if (c.chosen.month != 0) {
            shown.Choose(c.chosen);
        }
        EXPECT_EQ(shown.OnUpdate(c.current), c.expected) << c.what;
    }

    CShownMonth shown;
    shown.Built(built);
    shown.Choose({1, 2026});
    shown.Built({16, 3, 2026});  // the rebuild returns to the current month
    EXPECT_EQ(shown.Shown(), (MonthKey{3, 2026}));
    EXPECT_EQ(shown.OnUpdate({16, 3, 2026}), R::Today);
}
