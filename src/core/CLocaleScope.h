#pragma once

#include <clocale>

#include <locale.h>

// Switches the calling thread to the "C" conventions (numbers with ".") for as long as it lives,
// for texts that must not follow the user's locale: files, and the graph's English texts.
class CLocaleScope {
public:
    CLocaleScope() {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        if (cLocale != static_cast<locale_t>(0)) {
            previous_ = uselocale(cLocale);
        }
    }
    ~CLocaleScope() {
        if (previous_ != static_cast<locale_t>(0)) {
            uselocale(previous_);
        }
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_ = static_cast<locale_t>(0);
};
