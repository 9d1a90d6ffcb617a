#include "platform/LocaleTexts.h"

std::vector<std::string> ShortDateSamples(const LocaleTexts& texts) {
    std::vector<std::string> dates;
    for (int month = 1; month <= 12; ++month) {
        dates.push_back(texts.ShortDate({28, month, 2026}));
    }
    return dates;
}
