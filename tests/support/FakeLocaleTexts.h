#pragma once

#include <cstdio>
#include <memory>

#include "platform/LocaleTexts.h"

// Fixed, locale-free texts: "7/12/2026", "13:05", "13h", and the English sentences.
class FakeLocaleTexts final : public LocaleTexts {
public:
    std::unique_ptr<LocaleTexts> Clone() const override {
        return std::make_unique<FakeLocaleTexts>(*this);
    }
    std::string ShortDate(const LocalDate& date) const override {
        char text[32];
        std::snprintf(text, sizeof text, "%d/%d/%d", date.day, date.month, date.year);
        return text;
    }
    std::string TimeText(int hour, int minute) const override {
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
        return text;
    }
    std::string HourText(int hour) const override { return std::to_string(hour) + "h"; }
};
