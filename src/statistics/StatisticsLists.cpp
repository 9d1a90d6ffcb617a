#include "statistics/StatisticsLists.h"

#include "core/Formatters.h"
#include "platform/LocaleTexts.h"

namespace {

constexpr int kMonthsWithScrollBar = 18;
constexpr int kDaysWithScrollBar = 19;

}  // namespace

std::vector<ListColumn> MonthListColumns(int monthCount) {
    return {{"Month", ColumnAlign::Left, 62},
            {"Year", ColumnAlign::Centre, 41},
            {"Downloaded", ColumnAlign::Centre, 75},
            {"Uploaded", ColumnAlign::Centre, 65},
            {"Total", ColumnAlign::Centre, monthCount >= kMonthsWithScrollBar ? 58 : 76}};
}

std::vector<ListColumn> DayListColumns(int dayCount) {
    std::vector<ListColumn> columns = {{"Date", ColumnAlign::Centre, 63},
                                       {"Downloaded", ColumnAlign::Centre, 80},
                                       {"Uploaded", ColumnAlign::Centre, 80}};
    if (dayCount > 0) {
        columns.push_back({"Total", ColumnAlign::Centre, dayCount >= kDaysWithScrollBar ? 78 : 96});
    }
    return columns;
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
