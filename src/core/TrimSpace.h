#pragma once

#include <string_view>

// White space as the C locale has it: blank, tab, the line ends, vertical tab, form feed.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// `text` without white space at either end.
constexpr std::string_view TrimSpace(std::string_view text) {
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}
