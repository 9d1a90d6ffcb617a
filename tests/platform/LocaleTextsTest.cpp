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

TEST(LocaleTexts, FollowTheGivenLocale) {
    const QtLocaleTexts english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(english.ShortDate({7, 12, 2026}), "12/7/26");
    EXPECT_EQ(english.TimeText(13, 5), "1:05 PM");
    EXPECT_EQ(english.HourText(1), "1 AM");
    const QtLocaleTexts german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.ShortDate({7, 12, 2026}), "07.12.26");
    EXPECT_EQ(german.TimeText(13, 5), "13:05");
    EXPECT_EQ(german.HourText(0), "00");
}
