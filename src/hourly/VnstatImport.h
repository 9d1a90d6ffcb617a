#pragma once

#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "hourly/CHourlyStore.h"
#include "hourly/HourRow.h"
#include "hourly/VnstatJson.h"
#include "persistence/CDataFolder.h"
#include "persistence/DayRecord.h"
#include "platform/LocalZone.h"

// What vnStat's figures add, in the shapes of our files.
struct VnstatImportPlan {
    std::vector<HourRow> hours;      // from its hour entries, and five-minute ones of other hours
    std::vector<HourRow> dayTotals;  // days it has no hour of, kept at the day's first hour
    std::vector<DayRecord> days;     // per local day, the monitored interfaces' totals in MB
};

// Turns vnStat's entries into our rows, reading its wall times in `zone` (vnStat and the meter
// share the user's clock). `isMonitored` tells which interfaces the meter counts: only those add
// to the days.
VnstatImportPlan PlanVnstatImport(std::span<const VnstatInterface> interfaces,
                                  const LocalZone& zone,
                                  const std::function<bool(std::string_view)>& isMonitored);

struct VnstatImportResult {
    bool ok = false;
    int hoursChanged = 0;  // hours of the store added or changed
    int daysAdded = 0;     // days "stats.dat" did not have
};

// Adds the plan: to the store in one transaction, then to "stats.dat" the days it does not have
// (its days are kept as they are), replacing the file atomically. Each part adds nothing the
// second time, so a run that failed half way is completed by running it again. Only the holder
// of the folder's instance lock may call it: a running meter would write over the days.
VnstatImportResult ApplyVnstatImport(const VnstatImportPlan& plan, CHourlyStore& store,
                                     const CDataFolder& folder);

// Adds to "stats.dat" in `folder` each day of `days` it has no record of. False when the file
// could not be read or written (reported to the folder's notice); `added` receives the count.
bool AddMissingHistoryDays(const CDataFolder& folder, std::span<const DayRecord> days,
                           int* added = nullptr);
