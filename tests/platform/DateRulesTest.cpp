#include <gtest/gtest.h>

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
