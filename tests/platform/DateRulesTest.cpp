#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/LocalClock.h"

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
