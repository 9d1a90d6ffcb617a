#pragma once

#include <string>
#include <string_view>

#include "platform/LocalClock.h"

class CTrafficQuota;

// The rules of the Capwarden window's entries, apart from any widget.

// A limit is typed as a whole number of MB or GB up to this.
inline constexpr int kMaxLimitNumber = 1000000;

enum class WholeNumberCheck {
    Valid,
    NotANumber,  // not one number alone, or negative: "Please enter a valid number"
    NotWhole,    // leading zeros, "+" or blanks: "Please enter a valid whole number"
    TooLarge,    // above kMaxLimitNumber: "Please enter a smaller number"
};

// Checks a typed limit; `value` receives it when valid.
WholeNumberCheck CheckWholeNumber(std::string_view text, int& value);

// The unit lists hold "MB" then "GB".
enum QuotaUnit { kUnitMB = 0, kUnitGB = 1 };

// The limit in MB of a typed number and a unit index.
double ToMegabytes(int number, int unit);

// "1st", "2nd", "3rd", "4th" ... "31st" for a reset day of 1 to 31.
std::string ResetDayName(int day);

// The day the next period begins, as the window shows it: the day the counters clear, so a
// reset day the month lacks shows as the first of the next month (31 April as 1 May). False
// while there is none to show (the quota is off, or no reset day was ever chosen).
bool ShownPeriodStart(const CTrafficQuota& quota, LocalDate& date);
