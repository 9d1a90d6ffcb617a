#include "statistics/ChartPlan.h"

#include <gtest/gtest.h>

#include "HistoryTableBuilder.h"

namespace {

constexpr float kStep = 1.8f / 31;
constexpr float kTolerance = 1e-4f;

}  // namespace

// Days 1, 2 and 5 recorded: the missing 3rd and 4th lie on the zero line, the largest amount
// reaches the top, a recorded zero sits a little above a missing day.
TEST(ChartPlan, LinesWalkMissingDaysOnTheZeroLine) {
    HistoryTableBuilder history;
    history.Add(1, 3, 2026, 100.0, 0.0).Add(2, 3, 2026, 50.0, 25.0).Add(5, 3, 2026, 0.0, 200.0);
    const ChartPlan plan = PlanChart(history.Month(3, 2026));

    struct Expected {
        float download;
        float upload;
    };
    // Maximum 200: 100 -> 0.5 * 1.48 - 0.8 + 0.07 = 0.01; 0 -> -0.73; missing -> -0.8.
    const Expected expected[] = {
        {0.01f, -0.73f}, {-0.36f, -0.545f}, {-0.8f, -0.8f}, {-0.8f, -0.8f}, {-0.73f, 0.75f}};
    ASSERT_EQ(plan.download.size(), 5u);
    ASSERT_EQ(plan.upload.size(), 5u);
    for (int d = 0; d < 5; ++d) {
        const float x = -0.9f + d * kStep;
        EXPECT_NEAR(plan.download[d].x, x, kTolerance) << "day " << d + 1;
        EXPECT_NEAR(plan.upload[d].x, x, kTolerance) << "day " << d + 1;
        EXPECT_NEAR(plan.download[d].y, expected[d].download, kTolerance) << "day " << d + 1;
        EXPECT_NEAR(plan.upload[d].y, expected[d].upload, kTolerance) << "day " << d + 1;
    }
    EXPECT_EQ(plan.ticks.size(), 5u);
    EXPECT_NEAR(plan.ticks.back(), -0.9f + 4 * kStep, kTolerance);
}

// A month of zeros has no scale: its recorded days get no vertex, missing days still do.
TEST(ChartPlan, MonthOfZerosDrawsOnlyMissingDays) {
    HistoryTableBuilder history;
    history.Add(2, 6, 2026, 0.0, 0.0).Add(4, 6, 2026, 0.0, 0.0);
    const ChartPlan plan = PlanChart(history.Month(6, 2026));
    ASSERT_EQ(plan.download.size(), 2u);
    EXPECT_NEAR(plan.download[0].x, -0.9f, kTolerance);
    EXPECT_NEAR(plan.download[1].x, -0.9f + 2 * kStep, kTolerance);
    EXPECT_FLOAT_EQ(plan.download[1].y, -0.8f);
    EXPECT_EQ(plan.upload.size(), 2u);
    for (const ChartText& label : plan.amountLabels) {
        EXPECT_EQ(label.text, "0.0 MB");
    }
}

// Day numbers run from 1 to the last recorded day; 1 to 9 sit slightly closer together.
TEST(ChartPlan, DayNumbersAndAxisEnd) {
    HistoryTableBuilder history;
    history.Add(3, 1, 2026, 1.0, 1.0).Add(12, 1, 2026, 2.0, 1.0);
    const ChartPlan plan = PlanChart(history.Month(1, 2026));
    ASSERT_EQ(plan.dayNumbers.size(), 12u);
    const float shortStep = 0.0573645f;
    float x = -0.91f;
    for (int n = 1; n <= 12; ++n) {
        const ChartText& number = plan.dayNumbers[n - 1];
        EXPECT_EQ(number.text, std::to_string(n));
        EXPECT_NEAR(number.x, x, kTolerance) << n;
        EXPECT_FLOAT_EQ(number.y, -0.95f);
        x += n < 10 ? shortStep : kStep;
    }
    EXPECT_NEAR(plan.axisEnd, x, kTolerance);
    EXPECT_EQ(plan.ticks.size(), 12u);
}

// One format for all three labels, chosen by the maximum in its unit: "%3.1f" below 10, else
// "%3.0f". The maximum may be an upload.
TEST(ChartPlan, AmountLabelsTakeTheMaximumsUnit) {
    struct Case {
        double download;
        double upload;
        const char* top;
        const char* half;
        const char* zero;
    };
    const Case cases[] = {
        {850.0, 10.0, "850 MB", "425 MB", "  0 MB"},
        {1.0, 7.5, "7.5 MB", "3.8 MB", "0.0 MB"},
        {2048.0, 0.0, "2.0 GB", "1.0 GB", "0.0 GB"},
        {1023.9, 0.0, "1024 MB", "512 MB", "  0 MB"},  // still MB below 1024
        {1024.0, 0.0, "1.0 GB", "0.5 GB", "0.0 GB"},   // GB from 1024 on
        {20480.0, 0.0, " 20 GB", " 10 GB", "  0 GB"},
        {3.0 * 1048576.0, 0.0, "3.0 TB", "1.5 TB", "0.0 TB"},
    };
    for (const Case& c : cases) {
        HistoryTableBuilder history;
        history.Add(1, 5, 2026, c.download, c.upload);
        const ChartPlan plan = PlanChart(history.Month(5, 2026));
        EXPECT_EQ(plan.amountLabels[0].text, c.top) << c.download << "/" << c.upload;
        EXPECT_EQ(plan.amountLabels[1].text, c.half) << c.download << "/" << c.upload;
        EXPECT_EQ(plan.amountLabels[2].text, c.zero) << c.download << "/" << c.upload;
    }
}

// Small text needs 4.5:1 against what it stands on, at either end of the background.
TEST(ChartPlan, TextsStandOutFromTheBackground) {
    EXPECT_GE(ContrastRatio(chart::kTextColour, chart::kBackgroundTop), 4.5);
    EXPECT_GE(ContrastRatio(chart::kTextColour, chart::kBackgroundBottom), 4.5);
    const unsigned char white[3] = {255, 255, 255};
    EXPECT_NEAR(ContrastRatio(white, chart::kBackgroundBottom), 2.2, 0.1);  // what was too faint
}

// A day's hours spread over a 31-day month's width: one tick and one number each, numbered by
// the local hour, so a day the clocks go forward lacks one number and a day they go back shows
// one twice.
TEST(ChartPlan, HoursOfADayTakeTheDaysPlacesNumberedByTheirLocalHour) {
    struct Case {
        const char* name;
        std::vector<int> localHours;
    };
    std::vector<int> plain;
    for (int h = 0; h < 24; ++h) {
        plain.push_back(h);
    }
    std::vector<int> forward = plain;
    forward.erase(forward.begin() + 2);  // 02:00 never comes
    std::vector<int> back = plain;
    back.insert(back.begin() + 2, 2);  // 02:00 comes twice
    const Case cases[] = {
        {"an ordinary day", plain}, {"clocks forward", forward}, {"clocks back", back}};
    for (const Case& c : cases) {
        std::vector<HourTotal> hours;
        for (std::size_t i = 0; i < c.localHours.size(); ++i) {
            HourTotal hour;
            hour.local.hour = c.localHours[i];
            hour.received = i == 5 ? 2 * 1048576 : 0;  // one busy hour of 2 MB
            hour.sent = 1048576;
            hours.push_back(hour);
        }
        const ChartPlan plan = PlanHourChart(hours);
        ASSERT_EQ(plan.dayNumbers.size(), c.localHours.size()) << c.name;
        ASSERT_EQ(plan.download.size(), c.localHours.size()) << c.name;
        EXPECT_EQ(plan.ticks.size(), c.localHours.size()) << c.name;
        const float step = 30 * kStep / static_cast<float>(c.localHours.size() - 1);
        for (std::size_t i = 0; i < c.localHours.size(); ++i) {
            EXPECT_EQ(plan.dayNumbers[i].text, std::to_string(c.localHours[i])) << c.name << i;
            EXPECT_NEAR(plan.download[i].x, -0.9f + i * step, kTolerance) << c.name << i;
        }
        EXPECT_NEAR(plan.ticks.back(), -0.9f + 30 * kStep, kTolerance) << c.name;
        // The busy hour reaches the top; an idle hour sits just above the zero line.
        EXPECT_NEAR(plan.download[5].y, 0.75f, kTolerance) << c.name;
        EXPECT_NEAR(plan.download[0].y, -0.73f, kTolerance) << c.name;
        EXPECT_EQ(plan.amountLabels[0].text, "2.0 MB") << c.name;
    }
}
