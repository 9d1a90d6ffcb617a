#include "core/Formatters.h"

#include <gtest/gtest.h>

TEST(FormatSpeed, ChoosesUnitByPowersOf1024) {
    EXPECT_EQ(FormatSpeed(0.0), "0.0 KB/s");
    EXPECT_EQ(FormatSpeed(0.5), "512.0 KB/s");
    EXPECT_EQ(FormatSpeed(0.99999), "1024.0 KB/s");  // still below 1 MB/s, rounded by printf
    EXPECT_EQ(FormatSpeed(1.0), "1.0 MB/s");
    EXPECT_EQ(FormatSpeed(1023.9), "1023.9 MB/s");
    EXPECT_EQ(FormatSpeed(2048.0), "2.0 GB/s");
    EXPECT_EQ(FormatSpeed(100000.0), "97.7 GB/s");
    EXPECT_EQ(FormatSpeed(150000.0), "0.0 KB/s");  // beyond any real link: shown as nothing
}
