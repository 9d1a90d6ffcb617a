#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "persistence/DayRecord.h"

// The text of "stats.dat" as read: a header line (not checked), then one line per day with the
// day, month, year, MB uploaded and MB downloaded.
struct HistoryFileContents {
    std::vector<DayRecord> days;  // the good lines, in file order
    bool damaged = false;         // some line was left out
};

// No day of traffic comes near this many MB (about 10 PB); a larger amount is a damaged line.
inline constexpr double kMaxDayAmount = 1e10;

// Reads every good line of a history file. A line that is not five numbers, holds a date the
// calendar does not have, or an amount that is negative, not finite or above kMaxDayAmount is
// skipped (and marks the contents damaged); the lines around it still count. Blank lines are
// ignored.
HistoryFileContents ParseHistory(std::string_view text);

// Whether a record has a date the calendar has and amounts as ParseHistory takes them ("-0" is
// made 0).
bool IsPlausibleDay(DayRecord& record);

// Appends the line of `record` as the file holds it.
void AppendHistoryLine(std::string& out, const DayRecord& record);
