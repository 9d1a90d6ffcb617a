#include "quota/QuotaInput.h"

#include <algorithm>
#include <cctype>

#include "core/Units.h"
#include "quota/CTrafficQuota.h"

WholeNumberCheck CheckWholeNumber(std::string_view text, int& value) {
    // One optional sign and digits after optional blanks, and nothing after them.
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) {
        ++pos;
    }
    const std::size_t signAt = pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t digitsAt = pos;
    long long number = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        number = std::min(number * 10 + (text[pos] - '0'), 10LL * kMaxLimitNumber);
        ++pos;
    }
    if (pos == digitsAt || pos != text.size() || (negative && number != 0)) {
        return WholeNumberCheck::NotANumber;
    }
    // Only the plain decimal way of writing it: no blanks, sign or leading zeros.
    const bool leadingZero = text[digitsAt] == '0' && pos - digitsAt > 1;
    if (signAt != 0 || digitsAt != signAt || leadingZero) {
        return WholeNumberCheck::NotWhole;
    }
    if (number > kMaxLimitNumber) {
        return WholeNumberCheck::TooLarge;
    }
    value = static_cast<int>(number);
    return WholeNumberCheck::Valid;
}

double ToMegabytes(int number, int unit) {
    return unit == kUnitGB ? static_cast<double>(number) * kMBPerGB : static_cast<double>(number);
}

std::string ResetDayName(int day) {
    const int lastDigit = day % 10;
    const char* suffix = "th";
    if (day < 11 || day > 13) {
        suffix = lastDigit == 1 ? "st" : lastDigit == 2 ? "nd" : lastDigit == 3 ? "rd" : "th";
    }
    return std::to_string(day) + suffix;
}

bool ShownPeriodStart(const CTrafficQuota& quota, LocalDate& date) {
    if (!quota.Active() || quota.ResetDay() == -1) {
        return false;
    }
    date = PeriodBeginsOn(quota.NextPeriod());
    return IsValidDate(date);
}
