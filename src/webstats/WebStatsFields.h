#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/Translatable.h"

// The rules for what the user types into the WebStats window.

struct UploadIntervalChoice {
    const char* text;  // in English, with "%n" for the count
    int count;
    int milliseconds;
};

// The choices of the interval list, in order: "30 seconds", "1 minute", "5 minutes", ... English
// has its singular and its plural as texts of their own, so it reads right without a catalogue;
// each is a plural text, so a translation gives any count the form its language needs.
inline constexpr std::array<UploadIntervalChoice, 5> kUploadIntervals{{
    {TRANSLATABLE_N("UploadIntervals", "%n seconds"), 30, 30000},
    {TRANSLATABLE_N("UploadIntervals", "%n minute"), 1, 60000},
    {TRANSLATABLE_N("UploadIntervals", "%n minutes"), 5, 300000},
    {TRANSLATABLE_N("UploadIntervals", "%n minutes"), 10, 600000},
    {TRANSLATABLE_N("UploadIntervals", "%n minutes"), 15, 900000},
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
