#pragma once

#include <string>
#include <string_view>

#include "persistence/CDataFolder.h"

// Reading and writing "capwarden.dat": the monthly quota between runs.

inline constexpr const char* kQuotaFileName = "capwarden.dat";

// Every value the file holds, in the order of its lines. Amounts are MB; -1.0 marks a limit
// that is not in use. The starting values are those a line that cannot be read keeps.
struct QuotaValues {
    int resetDay = 1;  // 1-31; -1: never chosen
    int nextPeriodDay = 1;
    int nextPeriodMonth = 1;
    int nextPeriodYear = 1;
    double allowedTotal = 1000.0;
    double allowedUpload = 0.0;
    double allowedDownload = 0.0;
    double uploaded = 0.0;
    double downloaded = 0.0;
    bool active = false;
    bool limitTotal = true;

    friend bool operator==(const QuotaValues&, const QuotaValues&) = default;
};

// What a first run holds in memory, and what it writes (the reset day differs: -1 in memory, so
// the window shows that none was chosen; 1 in the file).
QuotaValues MissingQuotaInMemory();
QuotaValues MissingQuotaWritten();

enum class QuotaReadResult {
    Read,        // every line there was read (a short file keeps the starting values for the rest)
    Damaged,     // read, but some lines could not be: they kept their starting values
    Missing,     // no file: first-run values in memory, a default file written
    Unreadable,  // there but not readable: left alone, starting values in memory
};

// The file's text for these values ("." as the decimal point whatever the locale).
std::string FormatQuota(const QuotaValues& values);

// Reads the text over `values` line by line. A line that does not hold a number of the kind and
// range its field takes keeps the value already there. False when such a line was met.
bool ParseQuota(std::string_view text, QuotaValues& values);

// Loads "capwarden.dat" from the data folder into `values`. `text` receives what was read, so
// a damaged file can be kept aside before it is overwritten.
QuotaReadResult ReadQuotaFile(const CDataFolder& folder, QuotaValues& values, std::string& text,
                              int* errorNumber = nullptr);

// Replaces "capwarden.dat" atomically (mode 0600), creating the data folder if needed. On
// failure the old file stays and false is returned.
bool WriteQuotaFile(const CDataFolder& folder, const QuotaValues& values);
