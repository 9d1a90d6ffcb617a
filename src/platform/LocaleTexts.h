#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Translatable.h"
#include "platform/LocalClock.h"

// Dates, times and sentences the way the user's locale writes them. Models that put a date, a
// time or a sentence into a text take this interface, so they stay free of any toolkit.
class LocaleTexts {
public:
    virtual ~LocaleTexts() = default;
    // Another one like this, for a thread that may outlive this one.
    virtual std::unique_ptr<LocaleTexts> Clone() const = 0;
    // The short date format of the locale ("12/7/26", "07.12.26", ...). The date must exist.
    virtual std::string ShortDate(const LocalDate& date) const = 0;
    // The time format without seconds ("1:05 PM", "13:05").
    virtual std::string TimeText(int hour, int minute) const = 0;
    // The time format with the hour alone ("1 PM", "13").
    virtual std::string HourText(int hour) const = 0;
    // A sentence or word of the program, written in English as `source`, in the user's language:
    // the translation of `source` in `context` (and `disambiguation`, which tells apart equal
    // English words); with `n` >= 0 its plural form for n, "%n" replaced by n. Fill "%1"... with
    // FillArgs afterwards. This base knows no translation and gives the English.
    virtual std::string Translate(const char* context, const char* source,
                                  const char* disambiguation = nullptr, int n = -1) const;
};

// A short date of every month with a two-digit day: the widest short date the locale writes is
// among them (month names and their abbreviations differ in width, digits do not).
std::vector<std::string> ShortDateSamples(const LocaleTexts& texts);
