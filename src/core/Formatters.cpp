#include "core/Formatters.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "core/CLocaleScope.h"
#include "core/Translatable.h"
#include "core/Units.h"

namespace {

std::string Print(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Print(const char* format, ...) {
    char text[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// The rule of the statistics lists, the session figures and the quota: KB below 1.024 MB
// (not 1), GB above 1024 MB, TB above 1048576 MB when TB is used at all.
struct ScaledAmount {
    double value;
    const char* unit;
};

ScaledAmount ScaleListAmount(double x, bool withTerabytes) {
    if (withTerabytes && x > kMBPerTB) {
        return {x / kMBPerTB, "TB"};
    }
    if (x > kMBPerGB) {
        return {x / kMBPerGB, "GB"};
    }
    if (x < 1.024) {
        return {x * kKBPerMB, "KB"};
    }
    return {x, "MB"};
}

AmountParts ListParts(double x, bool withTerabytes) {
    const ScaledAmount scaled = ScaleListAmount(x, withTerabytes);
    return {Print("%.1f", scaled.value), scaled.unit};
}

// The rule of sizes and speeds: KB below 1 MB, MB below 1024, GB below 1048576, then TB.
ScaledAmount ScaleSize(double x) {
    if (x < 1.0) {
        return {x * kKBPerMB, "KB"};
    }
    if (x < kMBPerGB) {
        return {x, "MB"};
    }
    if (x < kMBPerTB) {
        return {x / kMBPerGB, "GB"};
    }
    return {x / kMBPerTB, "TB"};
}

}  // namespace

std::string FormatSpeed(double x) {
    if (x > 100000.0) {
        // Beyond any real link: a glitch, shown as nothing.
        return Print("%3.1f KB/s", 0.0);
    }
    return SpeedText(x);
}

std::string ListAmountText(double x) {
    return ListParts(x, true).Text();
}

AmountParts SessionAmountText(double x) {
    return ListParts(x, true);
}

AmountParts QuotaAmountText(double x) {
    return ListParts(x, false);
}

AmountParts QuotaLimitText(double x) {
    const double whole = std::floor(x);
    if (x >= kMBPerGB && std::fmod(whole, kMBPerGB) == 0.0) {
        return {Print("%.0f", x / kMBPerGB), "GB"};
    }
    return {Print("%.0f", x), "MB"};
}

std::string SizeText(double x) {
    const ScaledAmount scaled = ScaleSize(x);
    return Print("%3.1f %s", scaled.value, scaled.unit);
}

std::string SpeedText(double x) {
    const ScaledAmount scaled = ScaleSize(x);
    return Print("%3.1f %s/s", scaled.value, scaled.unit);
}

std::array<std::string, 3> ChartScaleTexts(double x) {
    const char* unit = "MB";
    double value = x;
    if (x >= kMBPerTB) {
        unit = "TB";
        value = x / kMBPerTB;
    } else if (x >= kMBPerGB) {
        unit = "GB";
        value = x / kMBPerGB;
    }
    if (value < 10.0) {
        return {Print("%3.1f %s", value, unit), Print("%3.1f %s", value / 2, unit),
                Print("%3.1f %s", 0.0, unit)};
    }
    return {Print("%3.0f %s", value, unit), Print("%3.0f %s", value / 2, unit),
            Print("%3.0f %s", 0.0, unit)};
}

std::string PercentText(double percent) {
    return Print("%.1f%%", percent);
}

std::string WholePercentText(double percent) {
    return Print("%.0f%%", std::floor(percent));
}

std::string StopwatchAmountText(double x) {
    constexpr double kKBPerGB = kKBPerMB * kMBPerGB;
    constexpr double kKBPerTB = kKBPerMB * kMBPerTB;
    if (x < 1.0) {
        // Bytes come whole: a fraction of one is no amount anyone sent.
        return Print("%.0f B", std::floor(x * kBytesPerKB));
    }
    if (x < kKBPerMB) {
        return Print("%3.2f KB", x);
    }
    if (x < kKBPerGB) {
        return Print("%3.2f MB", x / kKBPerMB);
    }
    if (x < kKBPerTB) {
        return Print("%3.2f GB", x / kKBPerGB);
    }
    return Print("%3.2f TB", x / kKBPerTB);
}

ScaledRate ScaleRate(double x) {
    constexpr double kKBPerGB = kKBPerMB * kMBPerGB;
    if (x > kKBPerGB) {
        return {x / kKBPerGB, "GB/s"};
    }
    if (x >= kKBPerMB) {
        return {x / kKBPerMB, "MB/s"};
    }
    return {x, "KB/s"};
}

std::string OneDecimalText(double value, DecimalMark mark) {
    // printf writes the mark of the C library's locale, which the program takes from the user's.
    if (mark == DecimalMark::Point) {
        CLocaleScope cLocale;
        return Print("%3.1f", value);
    }
    return Print("%3.1f", value);
}

std::string StopwatchRateText(double x) {
    const ScaledRate rate = ScaleRate(x);
    return Print("%.1f %s", rate.value, rate.unit);
}

std::string ElapsedText(std::uint64_t ms) {
    return Print("%02llu:%02llu:%02llu", static_cast<unsigned long long>(ms / 3600000u),
                 static_cast<unsigned long long>(ms / 60000u % 60u),
                 static_cast<unsigned long long>(ms / 1000u % 60u));
}

std::string MonthName(int month) {
    static const char* const kNames[] = {
        TRANSLATABLE("Months", "January"),   TRANSLATABLE("Months", "February"),
        TRANSLATABLE("Months", "March"),     TRANSLATABLE("Months", "April"),
        TRANSLATABLE("Months", "May"),       TRANSLATABLE("Months", "June"),
        TRANSLATABLE("Months", "July"),      TRANSLATABLE("Months", "August"),
        TRANSLATABLE("Months", "September"), TRANSLATABLE("Months", "October"),
        TRANSLATABLE("Months", "November"),  TRANSLATABLE("Months", "December")};
    if (month < 1 || month > 12) {
        return TRANSLATABLE("Months", "Unknown");
    }
    return kNames[month - 1];
}
