#pragma once

#include <array>
#include <string>
#include <string_view>

// The rules for what the user types into the WebStats window.

struct UploadIntervalChoice {
    const char* text;
    int milliseconds;
};

// The choices of the interval list, in order.
inline constexpr std::array<UploadIntervalChoice, 5> kUploadIntervals{{
    {"30 seconds", 30000},
    {"1 minute", 60000},
    {"5 minutes", 300000},
    {"10 minutes", 600000},
    {"15 minutes", 900000},
}};

// The index of the choice with these milliseconds, or -1.
int UploadIntervalIndex(int milliseconds);

// Quotes removed from both ends, then a leading and a trailing "/" made sure of: "myhomepage"
// becomes "/myhomepage/". An empty text stays empty (the FTP login folder).
std::string NormaliseRemotePath(std::string_view text);

// White space, then double quotes, then backslashes, then slashes removed from both ends:
// "\"/index.html\"" becomes "index.html".
std::string NormaliseFileName(std::string_view text);

// A normalised file name that names a file: not empty, and not ending in "." or ".." (a folder).
// A name typed as only quotes, slashes or blanks normalises to nothing and is refused.
bool IsPageFileName(std::string_view normalised);

// One decimal integer filling the whole text (leading white space and a sign allowed, as a
// "%d%n" scan reads it), from 0 to 65536. False otherwise; `port` is then unchanged.
bool ParsePortText(std::string_view text, int& port);
