#pragma once

#include <array>
#include <cstdint>
#include <string>

// Every amount, speed, size and time text the program shows or writes. Amounts are MB and speeds
// MB/s unless a name says otherwise; units go by powers of 1024.

// A number and its unit shown in two separate places ("12.5" and "GB").
struct AmountParts {
    std::string number;
    std::string unit;

    // Both in one text: "12.5 GB".
    std::string Text() const { return number + " " + unit; }

    friend bool operator==(const AmountParts&, const AmountParts&) = default;
};

// Which mark a number's decimals follow: the user's locale's (the C library's, as the windows and
// the tooltip show numbers), or always ".", for texts that are English throughout (the graph's).
enum class DecimalMark { Locale, Point };

// A rate in KB/s in the unit it is shown in: KB/s below 1024, MB/s up to and including 1048576,
// then GB/s.
struct ScaledRate {
    double value;
    const char* unit;  // "KB/s", "MB/s" or "GB/s"
};
ScaledRate ScaleRate(double kilobytesPerSecond);

// "%3.1f" of a number, with the given decimal mark.
std::string OneDecimalText(double value, DecimalMark mark);

// A speed in MB/s as the tooltip shows it: "512.0 KB/s", "1.0 MB/s", "2.0 GB/s", ...
std::string FormatSpeed(double megabytesPerSecond);

// An amount in the statistics lists: "%.1f" with KB below 1.024 MB, GB above 1024 MB, TB above
// 1048576 MB ("1034.2 KB" for 1.01 MB, "1024.0 MB" for exactly 1024 MB).
std::string ListAmountText(double megabytes);
// The same rule, number and unit apart.
AmountParts SessionAmountText(double megabytes);
// The quota's amounts: like SessionAmountText but never in TB.
AmountParts QuotaAmountText(double megabytes);
// A quota limit as it is typed, "%.0f": in GB when its whole MB are a multiple of 1024 (from
// 1024 MB on), else in MB ("2" and "GB" for 2048 MB, "1536" and "MB" for 1536 MB).
AmountParts QuotaLimitText(double megabytes);

// A size with "%3.1f": KB below 1 MB, MB below 1024, GB below 1048576, then TB.
std::string SizeText(double megabytes);
// The same thresholds for a speed: "%3.1f KB/s" ... "%3.1f TB/s".
std::string SpeedText(double megabytesPerSecond);

// The month chart's scale: the maximum, half of it and 0, in the unit the maximum needs (MB, GB
// from 1024 MB, TB from 1048576 MB), with "%3.1f" while the maximum is below 10 of that unit,
// else "%3.0f", and the unit after a space ("1.5 GB", "750 MB", "  0 MB").
std::array<std::string, 3> ChartScaleTexts(double maximumMegabytes);

// "%.1f%%" of a share in percent.
std::string PercentText(double percent);
// A share in whole percent, rounded down so that a share below 100 % never reads "100%": "87%"
// for 87.9.
std::string WholePercentText(double percent);

// The stopwatch's texts. An amount in KB with "%3.2f" from 1 KB on ("1.50 MB", ...), in whole
// bytes below ("512 B").
std::string StopwatchAmountText(double kilobytes);
// A rate in KB/s with "%.1f": KB/s below 1024, MB/s up to and including 1048576, then GB/s.
std::string StopwatchRateText(double kilobytesPerSecond);
// A running time as hh:mm:ss; hours are not limited to two digits. 64-bit, so a stopwatch left
// running for more than 49.7 days still reads right.
std::string ElapsedText(std::uint64_t milliseconds);

// "January", "February", "March", ...; "Unknown" for a number outside 1-12. In English: the
// catalogue has them in the context "Months".
std::string MonthName(int month);
