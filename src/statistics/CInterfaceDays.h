#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "hourly/CHourlyStore.h"
#include "persistence/CTrafficHistory.h"

// The days of one interface from the hourly store, in the shape of the history's table, so that
// the statistics window lists and charts them as it does the meter's own days.
class CInterfaceDays {
public:
    // Reads every day of `name` up to `today` from the store (a failed read leaves no days).
    void Load(const CHourlyStore& store, std::string_view name, const LocalDate& today);

    const HistoryTable& Table() const { return table_; }
    bool Empty() const { return records_.empty(); }
    // The sums of every day, in MB.
    double Downloaded() const { return downloaded_; }
    double Uploaded() const { return uploaded_; }
    // The first day with figures; `today` when there is none.
    LocalDate First() const { return first_; }

private:
    std::deque<DayRecord> records_;  // a deque keeps the table's pointers valid as it grows
    HistoryTable table_;
    double downloaded_ = 0.0;
    double uploaded_ = 0.0;
    LocalDate first_;
};
