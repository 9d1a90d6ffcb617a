#include <gtest/gtest.h>

#include "platform/QtLocaleTexts.h"

TEST(LocaleTexts, TimeFormatsLoseSecondsAndMinutes) {
    struct Case {
        const char* format;
        const char* withoutSeconds;
        const char* hourOnly;
    };
    for (const Case& c : {Case{"h:mm:ss AP", "h:mm AP", "h AP"}, Case{"HH:mm", "HH:mm", "HH"},
                          Case{"HH.mm.ss", "HH.mm", "HH"}, Case{"AP h:mm", "AP h:mm", "AP h"}}) {
        EXPECT_EQ(QtLocaleTexts::TimeFormatWithout(c.format, true), c.withoutSeconds);
        EXPECT_EQ(QtLocaleTexts::TimeFormatWithout(c.format, false), c.hourOnly);
    }
}

TEST(LocaleTexts, DatesShowTheirYearInFourDigits) {
    const struct {
        const char* what;
        const char* format;
        const char* expected;
    } cases[] = {
        {"German", "dd.MM.yy", "dd.MM.yyyy"},
        {"American", "M/d/yy", "M/d/yyyy"},
        {"four digits already", "d MMM yyyy", "d MMM yyyy"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QtLocaleTexts::WithFourDigitYears(c.format), c.expected) << c.what;
    }
}

TEST(LocaleTexts, FollowTheGivenLocale) {
    const QtLocaleTexts english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(english.ShortDate({7, 12, 2026}), "12/7/2026");
    EXPECT_EQ(english.TimeText(13, 5), "1:05 PM");
    EXPECT_EQ(english.HourText(1), "1 AM");
    const QtLocaleTexts german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.ShortDate({7, 12, 2026}), "07.12.2026");
    EXPECT_EQ(german.TimeText(13, 5), "13:05");
    EXPECT_EQ(german.HourText(0), "00");
}
