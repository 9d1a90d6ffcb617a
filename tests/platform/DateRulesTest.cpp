#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "ScopedEnv.h"
#include "platform/LocalClock.h"
#include "platform/LocalZone.h"

TEST(DateRules, DaysInMonthFollowsTheGregorianLeapYears) {
    EXPECT_EQ(DaysInMonth(1, 2026), 31);
    EXPECT_EQ(DaysInMonth(4, 2026), 30);
    EXPECT_EQ(DaysInMonth(2, 2026), 28);
    EXPECT_EQ(DaysInMonth(2, 2024), 29);
    EXPECT_EQ(DaysInMonth(2, 1900), 28);
    EXPECT_EQ(DaysInMonth(2, 2000), 29);
    EXPECT_EQ(DaysInMonth(0, 2026), 0);
    EXPECT_EQ(DaysInMonth(13, 2026), 0);
    EXPECT_TRUE(IsValidDate({31, 12, 2026}));
    EXPECT_FALSE(IsValidDate({31, 4, 2026}));
    EXPECT_FALSE(IsValidDate({0, 4, 2026}));
    EXPECT_FALSE(IsValidDate({29, 2, 2026}));
}

TEST(DateRules, DaysAreCountedAcrossMonthAndYearEnds) {
    EXPECT_EQ(DayNumber({1, 1, 1970}), 0);
    EXPECT_EQ(DayNumber({1, 3, 2028}) - DayNumber({1, 2, 2028}), 29);
    EXPECT_EQ(AddDays({28, 2, 2027}, 1), (LocalDate{1, 3, 2027}));
    EXPECT_EQ(AddDays({28, 2, 2028}, 1), (LocalDate{29, 2, 2028}));
    EXPECT_EQ(AddDays({3, 1, 2027}, -7), (LocalDate{27, 12, 2026}));
}

// The system clock measures spans in real time by the zone's own rules (TZ, as the user's
// session may set it): the night the clocks go forward is an hour short.
TEST(DateRules, TheSystemClockCountsADaylightSavingChangeInASpan) {
    const char* before = std::getenv("TZ");
    const std::string saved = before ? before : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    const SystemLocalClock clock;
    const auto hours = [&](LocalDateTime from, LocalDateTime to) {
        return (clock.SecondsAt(to) - clock.SecondsAt(from)) / 3600.0;
    };
    EXPECT_EQ(hours({{29, 3, 2026}, 0}, {{30, 3, 2026}, 0}), 23.0);
    EXPECT_EQ(hours({{25, 10, 2026}, 0}, {{26, 10, 2026}, 0}), 25.0);
    EXPECT_EQ(hours({{1, 12, 2026}, 12, 30}, {{1, 1, 2027}, 0}), 30 * 24 + 11.5);
    if (before) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

// The zone read from TZ as a user's session sets it: local days have the length the clocks give
// them, and a local hour begins where the zone's clock shows a whole hour.
TEST(DateRules, TheSystemZoneGivesEachLocalDayAndHourItsRealStart) {
    struct Row {
        const char* name;
        const char* zone;
        LocalDate date;
        std::int64_t dayStart;  // UTC
        std::int64_t hours;
        int firstHour;
    } const rows[] = {
        {"clocks forward in Berlin",
         "CET-1CEST,M3.5.0,M10.5.0/3",
         {29, 3, 2026},
         1774738800,
         23,
         0},
        {"clocks back in Berlin", "CET-1CEST,M3.5.0,M10.5.0/3", {25, 10, 2026}, 1792879200, 25, 0},
        {"half an hour off UTC", "IST-5:30", {29, 3, 2026}, 1774742400 - 19800, 24, 0},
        {"midnight skipped", "<-04>4<-03>,M9.1.6/24,M4.1.6/24", {6, 9, 2026}, 1788667200, 23, 1},
    };
    for (const Row& row : rows) {
        const ScopedEnv zone("TZ", row.zone);
        tzset();
        const SystemLocalZone local;
        const std::int64_t start = local.DayStart(row.date);
        EXPECT_EQ(start, row.dayStart) << row.name;
        EXPECT_EQ((local.DayStart(AddDays(row.date, 1)) - start) / 3600, row.hours) << row.name;
        EXPECT_EQ(local.LocalAt(start).hour, row.firstHour) << row.name;
        EXPECT_EQ(local.LocalAt(start).date, row.date) << row.name;
        EXPECT_EQ(local.HourStart(start + 3599), start) << row.name;
        EXPECT_EQ(local.HourStart(start + 3600), start + 3600) << row.name;
    }
    tzset();
}
