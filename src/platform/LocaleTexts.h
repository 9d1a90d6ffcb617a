#pragma once

#include <string>
#include <vector>

#include "platform/LocalClock.h"

// Dates and times written the way the user's locale writes them. Models that put a date or a
// time into a text take this interface, so they stay free of any toolkit.
class LocaleTexts {
public:
    virtual ~LocaleTexts() = default;
    // The short date format of the locale ("12/7/26", "07.12.26", ...). The date must exist.
    virtual std::string ShortDate(const LocalDate& date) const = 0;
    // The time format without seconds ("1:05 PM", "13:05").
    virtual std::string TimeText(int hour, int minute) const = 0;
    // The time format with the hour alone ("1 PM", "13").
    virtual std::string HourText(int hour) const = 0;
};

// A short date of every month with a two-digit day: the widest short date the locale writes is
// among them (month names and their abbreviations differ in width, digits do not).
std::vector<std::string> ShortDateSamples(const LocaleTexts& texts);
