#pragma once

#include <cstdint>
#include <string>

// The traffic of one interface in one local hour, as the hourly store keeps it.
struct HourRow {
    std::string interfaceName;
    std::int64_t hourStart = 0;  // UTC seconds of the hour's first moment
    std::uint64_t received = 0;  // bytes
    std::uint64_t sent = 0;
    bool monitored = true;  // counted into the meter's totals
};
