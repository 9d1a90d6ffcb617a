#pragma once

#include <string>

#include "persistence/HistoryFile.h"
#include "platform/LocalClock.h"

// The recorded days of a history file for other programs, oldest first, dates in ISO 8601
// (YYYY-MM-DD), amounts in MiB (the history's MB are 2^20 bytes).
enum class ExportFormat { Csv, Json };

// CSV: a header line "date,download_mib,upload_mib,total_mib", then one line per day.
// JSON: {"since": "YYYY-MM-DD", "days": [{"date": ..., "download_mib": ..., "upload_mib": ...}]}.
// A date recorded twice counts once, its first line winning as in the meter. "since" is the
// first recorded day, or `today` when there is none, as the statistics window shows it.
std::string ExportHistory(const HistoryFileContents& contents, ExportFormat format,
                          const LocalDate& today);

// Appends the date as the export writes it: YYYY-MM-DD.
void AppendIsoDate(std::string& out, const LocalDate& date);
