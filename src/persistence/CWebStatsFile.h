#pragma once

#include <string>
#include <string_view>

#include "persistence/CDataFolder.h"

// Reading and writing "webstats.dat": where and how often the statistics page is uploaded. The
// file holds the FTP password, so it is written readable by the user only.

inline constexpr const char* kWebStatsFileName = "webstats.dat";

// Every value the file holds, in the order of its lines.
struct WebStatsValues {
    std::string hostName;
    std::string remotePath;
    std::string pageFileName;
    std::string userName;
    std::string password;
    int port = 21;
    int uploadInterval = 300000;  // ms
    bool enabled = false;

    friend bool operator==(const WebStatsValues&, const WebStatsValues&) = default;
};

// The values a new default file is written with. Its interval (30000 ms) is not the one a first
// run uses (300000 ms): the next start reads the file's.
WebStatsValues DefaultWebStatsFileValues();

// True when the text can be stored on one line of the file.
bool IsOneLine(std::string_view text);

// The file's text. Empty when a text holds a line break: it would shift every line after it.
std::string FormatWebStats(const WebStatsValues& values);

// Reads the file's text over `values`, which hold the caller's starting values: the five texts
// are the lines as written (line end removed, LF or CR LF; empty when the file ends early),
// numbers that cannot be read keep the starting values, an interval that is not positive keeps
// it too, and the flag is false unless read as non-zero.
void ParseWebStats(std::string_view text, WebStatsValues& values);

// Loads "webstats.dat" from the data folder into `values` (see ParseWebStats). When the file is
// missing, the first-run values are set, the folder is created, a default file written, and
// false returned.
bool ReadWebStatsFile(const CDataFolder& folder, WebStatsValues& values);

// Replaces "webstats.dat" (mode 0600). False when it could not be written (the old file stays)
// or when a text holds a line break (nothing is written).
bool WriteWebStatsFile(const CDataFolder& folder, const WebStatsValues& values);
