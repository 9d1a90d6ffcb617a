#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/LocalClock.h"

// Traffic in MB, or speeds in MB/s: download and upload.
struct TrafficPair {
    double download = 0.0;
    double upload = 0.0;

    friend bool operator==(const TrafficPair&, const TrafficPair&) = default;
};

// The traffic of one quarter of an hour, in MB.
struct QuarterAmount {
    double downloaded = 0.0;
    double uploaded = 0.0;

    friend bool operator==(const QuarterAmount&, const QuarterAmount&) = default;
};

// The traffic of every quarter hour of the day, filled in as quarter boundaries pass. It holds
// the hours the page shows: those of the current six-hour block (0-5, 6-11, 12-17, 18-23) up to
// the newest sample, and the 17 hours before the block; each slot shows only what was measured
// in that hour of that day. So the newest hour never shows the quarters of a day before, also
// in the first minutes of a block or after the machine slept. Recording an hour also empties the
// later quarters of that hour and the rest of its block.
class CQuarterTable {
public:
    static constexpr int kHours = 24;
    static constexpr int kQuarters = 4;

    // Starts empty, as if the last record had been made at this local time with totals of 0.
    explicit CQuarterTable(const LocalDateTime& start);

    // Takes the running totals (MB) at the local time `now`. When the minute has just crossed a
    // quarter boundary since the last record, the quarter that ended gets the traffic since that
    // record. Boundaries passed while no sample came are not recorded; the next matching one
    // takes all the traffic since the last record.
    void Update(const LocalDateTime& now, double downloaded, double uploaded);

    // Quarter 1 (minutes 0-14) to 4 (45-59) of an hour 0-23, as of the newest sample; 0 and 0
    // when nothing was measured in it within the hours shown, or out of range.
    QuarterAmount Amount(int hour, int quarter) const;
    bool IsRecorded(int hour, int quarter) const;

    int LastHour() const { return lastHour_; }
    int LastMinute() const { return lastMinute_; }

private:
    struct Slot {
        QuarterAmount amount;
        std::int64_t hour = 0;  // hours since 1 Jan 1970, local time
    };

    // `hour`: hours since 1970 of the hour the quarter belongs to.
    void Record(std::int64_t hour, int quarter, int minute, double downloaded, double uploaded);

    std::array<std::array<std::optional<Slot>, kQuarters>, kHours> buckets_{};
    std::int64_t newestHour_;  // of the newest sample, hours since 1970
    int lastHour_;
    int lastMinute_;
    double baseDownloaded_ = 0.0;
    double baseUploaded_ = 0.0;
};
