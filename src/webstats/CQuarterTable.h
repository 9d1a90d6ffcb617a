#pragma once

#include <array>
#include <optional>

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

// The traffic of every quarter hour of the day, filled in as quarter boundaries pass. The day is
// kept as four blocks of six hours (0-5, 6-11, 12-17, 18-23); recording an hour empties the rest
// of its block, so yesterday's figures never show as the hours still to come.
class CQuarterTable {
public:
    static constexpr int kHours = 24;
    static constexpr int kQuarters = 4;

    // Starts empty, as if the last record had been made at this local time with totals of 0.
    CQuarterTable(int hour, int minute);

    // Takes the running totals (MB) at the local time `hour`:`minute`. When the minute has just
    // crossed a quarter boundary since the last record, the quarter that ended gets the traffic
    // since that record. Boundaries passed while no sample came are not recorded; the next
    // matching one takes all the traffic since the last record.
    void Update(int hour, int minute, double downloaded, double uploaded);

    // Quarter 1 (minutes 0-14) to 4 (45-59) of an hour 0-23; 0 and 0 when empty or out of range.
    QuarterAmount Amount(int hour, int quarter) const;
    bool IsRecorded(int hour, int quarter) const;

    int LastHour() const { return lastHour_; }
    int LastMinute() const { return lastMinute_; }

private:
    void Record(int hour, int quarter, int minute, double downloaded, double uploaded);

    std::array<std::array<std::optional<QuarterAmount>, kQuarters>, kHours> buckets_{};
    int lastHour_;
    int lastMinute_;
    double baseDownloaded_ = 0.0;
    double baseUploaded_ = 0.0;
};
