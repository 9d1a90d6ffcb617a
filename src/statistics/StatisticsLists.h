#pragma once

#include <array>
#include <functional>
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

// How many rows each list shows. A list with more rows has a vertical scroll bar, and its Total
// column gives up the scroll bar's width, so no horizontal one is ever needed.
inline constexpr int kMonthRowsShown = 17;
inline constexpr int kDayRowsShown = 18;

// What the lists' texts take in the font they are drawn in, margins included, in pixels.
struct ListMeasure {
    std::function<int(const std::string&)> cell;
    std::function<int(const std::string&)> title;
    int scrollBar = 0;  // width of the vertical scroll bar
};

// Month, Year, Downloaded, Uploaded, Total. Each column holds its widest possible text (the
// longest month name, "9999.9 MB") and its title, and is never narrower than the list was first
// laid out with (62, 41, 75, 65 and 76 pixels, 58 for Total beside a scroll bar).
std::vector<ListColumn> MonthListColumns(int monthCount, const ListMeasure& measure);
// Date (the locale's widest short date), Downloaded, Uploaded, then Total (63, 80, 80, and 96 or
// 78 beside a scroll bar at least). A month that is not in the history has no Total column.
std::vector<ListColumn> DayListColumns(int dayCount, const ListMeasure& measure,
                                       const LocaleTexts& texts);
// The width of the columns of a list without a scroll bar: the width its rows need.
int ColumnsWidth(const std::vector<ListColumn>& columns);

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
