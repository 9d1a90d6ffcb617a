#include "quota/QuotaInput.h"

#include <gtest/gtest.h>

#include "FakeLocaleTexts.h"

namespace {

TEST(QuotaInput, TypedLimitsAreWholeNumbersWrittenPlainlyUpToAMillion) {
    struct Case {
        const char* text;
        WholeNumberCheck check;
        int value;
    };
    const Case cases[] = {
        {"0", WholeNumberCheck::Valid, 0},
        {"5120", WholeNumberCheck::Valid, 5120},
        {"1000000", WholeNumberCheck::Valid, 1000000},
        {"1000001", WholeNumberCheck::TooLarge, 0},
        {"99999999999999999999", WholeNumberCheck::TooLarge, 0},
        {"", WholeNumberCheck::NotANumber, 0},
        {"12abc", WholeNumberCheck::NotANumber, 0},
        {"7 ", WholeNumberCheck::NotANumber, 0},
        {"1.5", WholeNumberCheck::NotANumber, 0},
        {"-5", WholeNumberCheck::NotANumber, 0},
        {" -5", WholeNumberCheck::NotANumber, 0},
        {"-99999999999999999999", WholeNumberCheck::NotANumber, 0},
        {"+-5", WholeNumberCheck::NotANumber, 0},
        {"007", WholeNumberCheck::NotWhole, 0},
        {"+7", WholeNumberCheck::NotWhole, 0},
        {" 7", WholeNumberCheck::NotWhole, 0},
        {"-0", WholeNumberCheck::NotWhole, 0},
    };
    for (const Case& c : cases) {
        int value = -123;
        EXPECT_EQ(CheckWholeNumber(c.text, value), c.check) << '"' << c.text << '"';
        EXPECT_EQ(value, c.check == WholeNumberCheck::Valid ? c.value : -123) << c.text;
    }
}

TEST(QuotaInput, ResetDaysReadAsOrdinals) {
    std::string names;
    for (int day : {1, 2, 3, 4, 10, 11, 12, 13, 20, 21, 22, 23, 31}) {
        names += ResetDayName(day, FakeLocaleTexts()) + " ";
    }
    EXPECT_EQ(names, "1st 2nd 3rd 4th 10th 11th 12th 13th 20th 21st 22nd 23rd 31st ");
}

}  // namespace
