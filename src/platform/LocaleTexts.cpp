#include "platform/LocaleTexts.h"

std::string LocaleTexts::Translate(const char*, const char* source, const char*, int n) const {
    std::string text = source;
    if (n >= 0) {
        for (std::size_t at = text.find("%n"); at != std::string::npos; at = text.find("%n", at)) {
            const std::string number = std::to_string(n);
            text.replace(at, 2, number);
            at += number.size();
        }
    }
    return text;
}

std::vector<std::string> ShortDateSamples(const LocaleTexts& texts) {
    std::vector<std::string> dates;
    for (int month = 1; month <= 12; ++month) {
        dates.push_back(texts.ShortDate({28, month, 2026}));
    }
    return dates;
}
