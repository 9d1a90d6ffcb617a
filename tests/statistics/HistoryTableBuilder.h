#pragma once

#include <deque>

#include "persistence/CTrafficHistory.h"

// A history table made by hand: the records live as long as the builder.
class HistoryTableBuilder {
public:
    HistoryTableBuilder& Add(int day, int month, int year, double downloaded, double uploaded) {
        DayRecord& record = records_.emplace_back();
        record.day = day;
        record.month = month;
        record.year = year;
        record.downloaded = downloaded;
        record.uploaded = uploaded;
        table_[year][month][day] = &record;
        return *this;
    }

    const HistoryTable& Table() const { return table_; }
    const HistoryDayMap& Month(int month, int year) const { return table_.at(year).at(month); }

private:
    std::deque<DayRecord> records_;
    HistoryTable table_;
};
