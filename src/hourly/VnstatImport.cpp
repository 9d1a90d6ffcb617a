#include "hourly/VnstatImport.h"

#include <map>
#include <set>
#include <utility>

#include "core/Units.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "persistence/HistoryFile.h"

VnstatImportPlan PlanVnstatImport(std::span<const VnstatInterface> interfaces,
                                  const LocalZone& zone,
                                  const std::function<bool(std::string_view)>& isMonitored) {
    VnstatImportPlan plan;
    std::map<std::int64_t, DayRecord> days;  // by day number
    for (const VnstatInterface& interface : interfaces) {
        const bool monitored = isMonitored(interface.name);
        std::map<std::int64_t, HourRow> hours;  // by hour start
        const auto add = [&](std::map<std::int64_t, HourRow>& into, const VnstatEntry& entry) {
            const std::int64_t start = zone.HourStart(zone.MomentOf(entry.start));
            HourRow& row = into[start];
            row.interfaceName = interface.name;
            row.hourStart = start;
            row.received += entry.received;
            row.sent += entry.sent;
            row.monitored = monitored;
        };
        for (const VnstatEntry& entry : interface.hours) {
            add(hours, entry);
        }
        // Five-minute entries fill only hours the hour list lacks: where both exist they count
        // the same traffic.
        std::map<std::int64_t, HourRow> fromFiveMinutes;
        for (const VnstatEntry& entry : interface.fiveMinutes) {
            add(fromFiveMinutes, entry);
        }
        hours.merge(fromFiveMinutes);  // keeps the hour list's rows where both have one
        std::set<std::int64_t> datesWithHours;
        for (auto& [start, row] : hours) {
            datesWithHours.insert(DayNumber(zone.LocalAt(start).date));
            plan.hours.push_back(std::move(row));
        }
        for (const VnstatEntry& entry : interface.days) {
            const std::int64_t number = DayNumber(entry.start.date);
            if (!datesWithHours.contains(number)) {
                plan.dayTotals.push_back({interface.name, zone.DayStart(entry.start.date),
                                          entry.received, entry.sent, monitored});
            }
            if (monitored) {
                DayRecord& day = days[number];
                day.day = entry.start.date.day;
                day.month = entry.start.date.month;
                day.year = entry.start.date.year;
                day.downloaded += static_cast<double>(entry.received) / kBytesPerMB;
                day.uploaded += static_cast<double>(entry.sent) / kBytesPerMB;
            }
        }
    }
    for (const auto& [number, day] : days) {
        plan.days.push_back(day);
    }
    return plan;
}

bool AddMissingHistoryDays(const CDataFolder& folder, std::span<const DayRecord> days, int* added) {
    if (added != nullptr) {
        *added = 0;
    }
    const std::string path = folder.DataFilePath(CTrafficHistory::kFileName);
    HistoryFileContents contents;
    if (FileExists(path)) {
        std::string text;
        int error = 0;
        if (!ReadTextFile(path, text, &error)) {
            // Never replaced while it cannot be read: the user may still get it back.
            folder.ReportSaveFailure(CTrafficHistory::kFileName, error);
            return false;
        }
        contents = ParseHistory(text);
        if (contents.damaged && !folder.KeepDataFileCopy(CTrafficHistory::kFileName, text)) {
            return false;
        }
    }
    std::map<std::int64_t, DayRecord> merged;
    for (const DayRecord& day : contents.days) {
        merged.try_emplace(DayNumber({day.day, day.month, day.year}), day);  // the first wins
    }
    int count = 0;
    for (const DayRecord& day : days) {
        if (merged.try_emplace(DayNumber({day.day, day.month, day.year}), day).second) {
            ++count;
        }
    }
    if (count == 0 && !contents.damaged) {
        return true;  // nothing to add: the file stays as it is
    }
    std::string text;
    text += kFileHeader;
    text += '\n';
    for (const auto& [number, day] : merged) {
        AppendHistoryLine(text, day);
    }
    if (!folder.WriteDataFile(CTrafficHistory::kFileName, text)) {
        return false;
    }
    if (added != nullptr) {
        *added = count;
    }
    return true;
}

VnstatImportResult ApplyVnstatImport(const VnstatImportPlan& plan, CHourlyStore& store,
                                     const CDataFolder& folder) {
    VnstatImportResult result;
    const CHourlyStore::ImportBatch batches[] = {
        {plan.hours, HourOrigin::ImportedHour},
        {plan.dayTotals, HourOrigin::ImportedDay},
    };
    if (!store.Import(batches, &result.hoursChanged)) {
        return result;
    }
    result.ok = AddMissingHistoryDays(folder, plan.days, &result.daysAdded);
    return result;
}
