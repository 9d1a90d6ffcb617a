#pragma once

#include <clocale>
#include <string>

// Switches the C library's numbers to a locale that writes a decimal comma, as the program runs
// for a German user, and back when it goes. Found() is false when no such locale is installed.
class CommaLocale {
public:
    CommaLocale() : saved_(std::setlocale(LC_NUMERIC, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr) {
                found_ = name;
                return;
            }
        }
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    const char* Found() const { return found_; }

private:
    std::string saved_;
    const char* found_ = nullptr;
};
