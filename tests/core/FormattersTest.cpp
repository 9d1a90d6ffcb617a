#include "core/Formatters.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct TextCase {
    double value;
    const char* text;
};

void ExpectTexts(const std::function<std::string(double)>& format,
                 std::initializer_list<TextCase> cases) {
    for (const TextCase& c : cases) {
        EXPECT_EQ(format(c.value), c.text) << "for " << c.value;
    }
}

}  // namespace

TEST(Formatters, TooltipSpeed) {
    ExpectTexts(FormatSpeed, {{0.0, "0.0 KB/s"},
                              {0.5, "512.0 KB/s"},
                              {0.99999, "1024.0 KB/s"},  // still below 1 MB/s, rounded by printf
                              {1.0, "1.0 MB/s"},
                              {1023.9, "1023.9 MB/s"},
                              {2048.0, "2.0 GB/s"},
                              {100000.0, "97.7 GB/s"},
                              {150000.0, "0.0 KB/s"}});  // beyond any real link: shown as nothing
}

// The lists switch to KB below 1.024 MB, not 1 MB, and to GB only above 1024 MB.
TEST(Formatters, ListAmountThresholds) {
    ExpectTexts(ListAmountText, {{0.0, "0.0 KB"},
                                 {1.01, "1034.2 KB"},
                                 {1.024, "1.0 MB"},
                                 {1024.0, "1024.0 MB"},
                                 {1024.5, "1.0 GB"},
                                 {1048576.0, "1024.0 GB"},
                                 {2097152.0, "2.0 TB"}});
    EXPECT_EQ(SessionAmountText(1.01), (AmountParts{"1034.2", "KB"}));
    EXPECT_EQ(SessionAmountText(3.0 * 1048576.0), (AmountParts{"3.0", "TB"}));
    // The quota never goes to TB.
    EXPECT_EQ(QuotaAmountText(3.0 * 1048576.0), (AmountParts{"3072.0", "GB"}));
    EXPECT_EQ(QuotaAmountText(2048.0), (AmountParts{"2.0", "GB"}));
    EXPECT_EQ(QuotaAmountText(0.5), (AmountParts{"512.0", "KB"}));
}

// The session figures: the list rule, number and unit shown apart.
TEST(Formatters, SessionAmountParts) {
    struct Case {
        double megabytes;
        AmountParts parts;
    };
    const Case cases[] = {{0.5, {"512.0", "KB"}},       {1.02, {"1044.5", "KB"}},
                          {1.024, {"1.0", "MB"}},       {1.5, {"1.5", "MB"}},
                          {1024.0, {"1024.0", "MB"}},   {2048.0, {"2.0", "GB"}},
                          {1048576.0, {"1024.0", "GB"}}};
    for (const Case& c : cases) {
        EXPECT_EQ(SessionAmountText(c.megabytes), c.parts) << "for " << c.megabytes;
    }
}

// A limit shows in GB only when its whole MB are a multiple of 1024, so it reads back as typed.
TEST(Formatters, QuotaLimitInTheUnitItWasTypedIn) {
    const std::pair<double, AmountParts> cases[] = {
        {2048.0, {"2", "GB"}},        {1024.0, {"1", "GB"}},        {1536.0, {"1536", "MB"}},
        {512.0, {"512", "MB"}},       {0.0, {"0", "MB"}},           {1025.0, {"1025", "MB"}},
        {1.024e9, {"1000000", "GB"}}, {999999.0, {"999999", "MB"}},
    };
    for (const auto& [megabytes, parts] : cases) {
        EXPECT_EQ(QuotaLimitText(megabytes), parts) << megabytes;
    }
}

// Sizes and speeds switch at exactly 1, 1024 and 1048576 MB.
TEST(Formatters, SizeAndSpeedThresholds) {
    ExpectTexts(SizeText, {{0.5, "512.0 KB"},
                           {1.0, "1.0 MB"},
                           {1023.9, "1023.9 MB"},
                           {1024.0, "1.0 GB"},
                           {1048576.0, "1.0 TB"}});
    ExpectTexts(SpeedText, {{0.25, "256.0 KB/s"}, {1024.0, "1.0 GB/s"}, {3145728.0, "3.0 TB/s"}});
}

TEST(Formatters, StopwatchTexts) {
    ExpectTexts(StopwatchAmountText, {{0.5, "512 B"},
                                      {1.0, "1.00 KB"},
                                      {1536.0, "1.50 MB"},
                                      {1048576.0, "1.00 GB"},
                                      {1073741824.0, "1.00 TB"}});
    ExpectTexts(StopwatchRateText, {{153.6, "153.6 KB/s"},
                                    {1024.0, "1.0 MB/s"},
                                    {1048576.0, "1024.0 MB/s"},  // up to and including
                                    {2097152.0, "2.0 GB/s"}});
    EXPECT_EQ(ElapsedText(0), "00:00:00");
    EXPECT_EQ(ElapsedText(3723000), "01:02:03");
    EXPECT_EQ(ElapsedText(100u * 3600000u + 59999), "100:00:59");
    EXPECT_EQ(ElapsedText(5000000000u), "1388:53:20");  // past the 32-bit millisecond range
}

// The figures a window shows, each with one space before its unit and no part of a byte.
TEST(Formatters, ShownFiguresReadAsElsewhere) {
    const struct {
        const char* what;
        std::string text;
        const char* expected;
    } cases[] = {
        {"stopwatch below a byte", StopwatchAmountText(0.0009), "0 B"},
        {"stopwatch with part of a byte", StopwatchAmountText(0.9995), "1023 B"},
        {"stopwatch at one KB", StopwatchAmountText(1.0), "1.00 KB"},
        {"session at rest", SessionAmountText(0.0).Text(), "0.0 KB"},
        {"chart scale in GB", ChartScaleTexts(4.6 * 1024.0)[0], "4.6 GB"},
        {"chart scale padded", ChartScaleTexts(850.0)[2], "  0 MB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.expected) << c.what;
    }
}

TEST(Formatters, MonthNamesAndPercent) {
    EXPECT_EQ(MonthName(1), "January");
    EXPECT_EQ(MonthName(2), "February");
    EXPECT_EQ(MonthName(12), "December");
    EXPECT_EQ(MonthName(0), "Unknown");
    EXPECT_EQ(MonthName(13), "Unknown");
    EXPECT_EQ(PercentText(99.95), "100.0%");
    EXPECT_EQ(PercentText(0.0), "0.0%");
}
