#include "persistence/HistoryFile.h"

#include <cmath>

#include "persistence/DataFile.h"
#include "platform/LocalClock.h"

namespace {

bool ParseRecord(std::string_view line, DayRecord& record) {
    CTextReader fields(line);
    if (!fields.ScanInt(record.day) || !fields.ScanInt(record.month) ||
        !fields.ScanInt(record.year) || !fields.ScanDouble(record.uploaded) ||
        !fields.ScanDouble(record.downloaded) || !fields.AtEndIgnoringSpace()) {
        return false;
    }
    return IsPlausibleDay(record);
}

}  // namespace

bool IsPlausibleDay(DayRecord& record) {
    // Impossible dates would index month names and day columns out of bounds downstream.
    const auto plausible = [](double& amount) {
        if (amount == 0.0) {
            amount = 0.0;  // "-0" is zero, and is written back as such
        }
        return std::isfinite(amount) && amount >= 0.0 && amount <= kMaxDayAmount;
    };
    return IsValidDate({record.day, record.month, record.year}) && plausible(record.uploaded) &&
           plausible(record.downloaded);
}

HistoryFileContents ParseHistory(std::string_view text) {
    HistoryFileContents contents;
    CTextReader reader(text);
    std::string_view line;
    reader.ReadLine(line);  // the header, not checked
    while (reader.ReadLine(line)) {
        if (CTextReader(line).AtEndIgnoringSpace()) {
            continue;  // a blank line separates nothing
        }
        DayRecord record;
        if (ParseRecord(line, record)) {
            contents.days.push_back(record);
        } else {
            // One damaged line says nothing about the days around it: skip it, keep reading.
            contents.damaged = true;
        }
    }
    return contents;
}

void AppendHistoryLine(std::string& out, const DayRecord& record) {
    AppendFormatted(out, "%d %d %d %f %f\n", record.day, record.month, record.year, record.uploaded,
                    record.downloaded);
}
