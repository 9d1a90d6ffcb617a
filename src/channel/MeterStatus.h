#pragma once

#include <cstdint>
#include <optional>
#include <string>

class CSampleList;
class CTrafficHistory;
class CTrafficQuota;

// The quota limit a status speaks of.
enum class StatusLimit { Total, Download, Upload };

// Its name in the status line and the JSON: "total", "download", "upload".
const char* StatusLimitName(StatusLimit limit);

// The running meter's figures for panels and status bars: what its graph, tray and statistics
// show now. Speeds in KB/s, amounts in MB, shares in percent.
struct MeterStatus {
    std::uint64_t sample = 0;  // graph samples taken since the meter started; 0 before the first
    double downloadRate = 0.0;
    double uploadRate = 0.0;
    double todayDownload = 0.0;
    double todayUpload = 0.0;
    double sessionDownload = 0.0;
    double sessionUpload = 0.0;
    // While Capwarden is on: the share used of the limit the tooltip leads with (one passed,
    // else the one projected highest), and which limit that is.
    std::optional<double> quotaUsed;
    StatusLimit quotaLimit = StatusLimit::Total;
    bool quotaExceeded = false;
    // The share that limit's use is forecast to reach by the period's end; none while unknown.
    std::optional<double> quotaProjected;

    friend bool operator==(const MeterStatus&, const MeterStatus&) = default;
};

// The meter's figures as they are: the speeds of the graph's newest sample, today's record and
// this session's totals of the history, and the leading limit's shares while the quota is on.
MeterStatus CollectStatus(const CSampleList& samples, const CTrafficHistory& history,
                          const CTrafficQuota& quota);

// What a status client prints. Plain, untranslated and stable: scripts read it.

// A share as a whole percent, rounded down, so that 100 means the whole allowance is used.
int WholePercent(double percent);
// "↓    1.2 MB/s ↑   34.0 KB/s": the tray tooltip's speed texts in SpeedsLine's constant width,
// so a bar showing the line does not shift as the figures change.
std::string StatusText(const MeterStatus& status);
// The speeds as the tray's tooltip words them, then today's and this session's amounts and the
// quota, one per line.
std::string StatusTooltip(const MeterStatus& status);
// "quota-exceeded" past a limit, else "traffic" while anything flows, else "idle".
const char* StatusClass(const MeterStatus& status);
// One line of JSON in the form the custom modules of waybar read ("text", "tooltip", "class",
// "percentage" and "limit" while the quota is on, "projected" once forecast), followed by the plain
// figures for other scripts. Ends with a line end.
std::string StatusJson(const MeterStatus& status);
