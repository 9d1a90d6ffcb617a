#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "hourly/HourRow.h"
#include "platform/LocalZone.h"

// Adds up every interface's bytes per local hour between two saves of the hourly store. A sample
// costs a short search of the pending rows and no allocation once each interface has its row:
// Clear keeps the rows' storage for the next hour.
class CHourlyTally {
public:
    // The zone must outlive the tally.
    explicit CHourlyTally(const LocalZone& zone) : zone_(zone) {}

    // One interface's counter deltas in the sample taken at `utcSeconds`. An interface that
    // moved nothing still gets its row: the store lists every interface met.
    void Add(std::string_view interfaceName, bool monitored, std::uint64_t received,
             std::uint64_t sent, std::int64_t utcSeconds);

    // The rows gathered since the last Clear, in the order first met.
    std::span<const HourRow> Rows() const { return {rows_.data(), used_}; }
    bool Empty() const { return used_ == 0; }
    // After the rows reached the store. A failed save keeps them, so the next save adds them.
    void Clear() { used_ = 0; }

private:
    const LocalZone& zone_;
    std::vector<HourRow> rows_;  // rows_[used_..] are spare, kept for their string storage
    std::size_t used_ = 0;
    // The local hour of the last sample, so most samples need no time-zone lookup.
    std::int64_t hourStart_ = 0;
    std::int64_t hourEnd_ = 0;
};
