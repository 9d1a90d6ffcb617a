#include "hourly/CHourlyTally.h"

void CHourlyTally::Add(std::string_view interfaceName, bool monitored, std::uint64_t received,
                       std::uint64_t sent, std::int64_t utcSeconds) {
    if (utcSeconds < hourStart_ || utcSeconds >= hourEnd_) {
        hourStart_ = zone_.HourStart(utcSeconds);
        // Local hours are whole hours of real time, also across a daylight-saving change.
        hourEnd_ = hourStart_ + 3600;
    }
    // Newest rows last: the row of this hour is found near the end.
    for (std::size_t i = used_; i-- > 0;) {
        HourRow& row = rows_[i];
        if (row.hourStart == hourStart_ && row.interfaceName == interfaceName) {
            row.received += received;
            row.sent += sent;
            // A change of the user's choice within the hour applies to the whole hour.
            row.monitored = monitored;
            return;
        }
    }
    if (used_ == rows_.size()) {
        rows_.emplace_back();
    }
    HourRow& row = rows_[used_++];
    row.interfaceName.assign(interfaceName);
    row.hourStart = hourStart_;
    row.received = received;
    row.sent = sent;
    row.monitored = monitored;
}
