#pragma once

#include <array>
#include <string>
#include <vector>

#include "persistence/CTrafficHistory.h"

class LocaleTexts;

// The texts of the statistics window's two lists, built from a snapshot of the history.

struct MonthKey {
    int month = 1;
    int year = 1970;

    friend bool operator==(const MonthKey&, const MonthKey&) = default;
};

enum class ColumnAlign { Left, Centre };

struct ListColumn {
    const char* title;
    ColumnAlign align;
    int width;  // pixels
};

// Month, Year, Downloaded, Uploaded, Total. Total gives way to the scroll bar once 18 or more
// months are listed.
std::vector<ListColumn> MonthListColumns(int monthCount);
// Date, Downloaded, Uploaded, then Total (narrower once 19 or more days need a scroll bar).
// A month that is not in the history (no days) has no Total column.
std::vector<ListColumn> DayListColumns(int dayCount);

// Downloaded, uploaded and their sum, as the lists write amounts.
std::array<std::string, 3> AmountCells(double downloaded, double uploaded);

struct MonthRow {
    MonthKey key;
    std::array<std::string, 5> cells;  // month name, year, downloaded, uploaded, total
};

struct DayRow {
    int day = 1;
    std::array<std::string, 4> cells;  // short date, downloaded, uploaded, total
};

// The sums of one month.
struct MonthTotals {
    double downloaded = 0.0;
    double uploaded = 0.0;
};
MonthTotals SumMonth(const HistoryDayMap& days);

// Every recorded month, newest first.
std::vector<MonthRow> MonthRows(const HistoryTable& table);
MonthRow MakeMonthRow(MonthKey key, const HistoryDayMap& days);
// The days of one month, newest first; dates in the user's short format.
std::vector<DayRow> DayRows(const HistoryDayMap& days, MonthKey key, const LocaleTexts& texts);

// The days of a month, or null when the history has none.
const HistoryDayMap* FindMonth(const HistoryTable& table, MonthKey key);
