#include "statistics/StatisticsLists.h"

#include <algorithm>

#include "core/Formatters.h"
#include "platform/LocaleTexts.h"

namespace {

// The widest amount a list cell shows, in each unit.
const std::vector<std::string> kWidestAmounts = {"9999.9 KB", "9999.9 MB", "9999.9 GB",
                                                 "9999.9 TB"};

std::vector<std::string> MonthNames() {
    std::vector<std::string> names;
    for (int month = 1; month <= 12; ++month) {
        names.push_back(MonthName(month));
    }
    return names;
}

// A column wide enough for its title, its widest texts and `floor`.
ListColumn Fitted(const char* title, ColumnAlign align, int floor,
                  const std::vector<std::string>& widest, const ListMeasure& measure) {
    int width = std::max(floor, measure.title(title));
    for (const std::string& text : widest) {
        width = std::max(width, measure.cell(text));
    }
    return {title, align, width};
}

// The Total column: it fits its texts beside a scroll bar, and is wider by the scroll bar's
// width while there is none.
ListColumn TotalColumn(int rows, int rowsShown, int floorWide, int floorBesideScrollBar,
                       const ListMeasure& measure) {
    const ListColumn beside =
        Fitted("Total", ColumnAlign::Centre, floorBesideScrollBar, kWidestAmounts, measure);
    if (rows > rowsShown) {
        return beside;
    }
    return {beside.title, beside.align, std::max(floorWide, beside.width + measure.scrollBar)};
}

}  // namespace

std::vector<ListColumn> MonthListColumns(int monthCount, const ListMeasure& measure) {
    return {Fitted("Month", ColumnAlign::Left, 62, MonthNames(), measure),
            Fitted("Year", ColumnAlign::Centre, 41, {"9999"}, measure),
            Fitted("Downloaded", ColumnAlign::Centre, 75, kWidestAmounts, measure),
            Fitted("Uploaded", ColumnAlign::Centre, 65, kWidestAmounts, measure),
            TotalColumn(monthCount, kMonthRowsShown, 76, 58, measure)};
}

std::vector<ListColumn> DayListColumns(int dayCount, const ListMeasure& measure,
                                       const LocaleTexts& texts) {
    std::vector<ListColumn> columns = {
        Fitted("Date", ColumnAlign::Centre, 63, ShortDateSamples(texts), measure),
        Fitted("Downloaded", ColumnAlign::Centre, 80, kWidestAmounts, measure),
        Fitted("Uploaded", ColumnAlign::Centre, 80, kWidestAmounts, measure)};
    if (dayCount > 0) {
        columns.push_back(TotalColumn(dayCount, kDayRowsShown, 96, 78, measure));
    }
    return columns;
}

int ColumnsWidth(const std::vector<ListColumn>& columns) {
    int width = 0;
    for (const ListColumn& column : columns) {
        width += column.width;
    }
    return width;
}

std::array<std::string, 3> AmountCells(double downloaded, double uploaded) {
    return {ListAmountText(downloaded), ListAmountText(uploaded),
            ListAmountText(downloaded + uploaded)};
}

MonthTotals SumMonth(const HistoryDayMap& days) {
    MonthTotals totals;
    for (const auto& [day, record] : days) {
        totals.downloaded += record->downloaded;
        totals.uploaded += record->uploaded;
    }
    return totals;
}

MonthRow MakeMonthRow(MonthKey key, const HistoryDayMap& days) {
    const MonthTotals totals = SumMonth(days);
    const auto amounts = AmountCells(totals.downloaded, totals.uploaded);
    return {key,
            {MonthName(key.month), std::to_string(key.year), amounts[0], amounts[1], amounts[2]}};
}

std::vector<MonthRow> MonthRows(const HistoryTable& table) {
    std::vector<MonthRow> rows;
    for (auto year = table.rbegin(); year != table.rend(); ++year) {
        for (auto month = year->second.rbegin(); month != year->second.rend(); ++month) {
            rows.push_back(MakeMonthRow({month->first, year->first}, month->second));
        }
    }
    return rows;
}

std::vector<DayRow> DayRows(const HistoryDayMap& days, MonthKey key, const LocaleTexts& texts) {
    std::vector<DayRow> rows;
    for (auto it = days.rbegin(); it != days.rend(); ++it) {
        const DayRecord& record = *it->second;
        const auto amounts = AmountCells(record.downloaded, record.uploaded);
        rows.push_back({it->first,
                        {texts.ShortDate({it->first, key.month, key.year}), amounts[0], amounts[1],
                         amounts[2]}});
    }
    return rows;
}

const HistoryDayMap* FindMonth(const HistoryTable& table, MonthKey key) {
    const auto year = table.find(key.year);
    if (year == table.end()) {
        return nullptr;
    }
    const auto month = year->second.find(key.month);
    return month == year->second.end() ? nullptr : &month->second;
}
