#include "core/Translatable.h"

#include <gtest/gtest.h>

#include "FakeLocaleTexts.h"

TEST(FillArgs, FillsTheNumberedMarkersInOnePass) {
    struct Case {
        const char* pattern;
        std::initializer_list<std::string_view> args;
        const char* text;
    };
    const Case cases[] = {
        {"Cannot save %1 in %2: %3.",
         {"stats.dat", "/data", "No space"},
         "Cannot save stats.dat in /data: No space."},
        {"%2 before %1", {"one", "two"}, "two before one"},
        {"%1 and %1", {"x"}, "x and x"},
        {"a 100% share of %1", {"it"}, "a 100% share of it"},
        {"%1%", {"87"}, "87%"},
        {"%1 then %2", {"%2", "two"}, "%2 then two"},  // an argument is not filled again
        {"no argument for %2", {"one"}, "no argument for %2"},
        {"%0 and %n are no markers", {"x"}, "%0 and %n are no markers"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FillArgs(c.pattern, c.args), c.text) << c.pattern;
    }
}

// Without a translation the English comes back, with its count where it has one.
TEST(LocaleTexts, TheBaseGivesTheEnglishWithItsCount) {
    const FakeLocaleTexts english;
    EXPECT_EQ(english.Translate("Context", "Projected: %1"), "Projected: %1");
    EXPECT_EQ(english.Translate("Context", "%n minutes", nullptr, 15), "15 minutes");
    EXPECT_EQ(english.Translate("Context", "%n of %n", "twice", 2), "2 of 2");
    EXPECT_EQ(english.Translate("Context", "%n stays without a count"), "%n stays without a count");
    EXPECT_EQ(english.Translate("Context", "%n seconds", nullptr, 0), "0 seconds");
}
