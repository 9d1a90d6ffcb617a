#include "persistence/HistoryExport.h"

#include <map>

#include "persistence/DataFile.h"

void AppendIsoDate(std::string& out, const LocalDate& date) {
    AppendFormatted(out, "%04d-%02d-%02d", date.year, date.month, date.day);
}

std::string ExportHistory(const HistoryFileContents& contents, ExportFormat format,
                          const LocalDate& today) {
    std::map<LocalDate, const DayRecord*> days;  // date order, first line of a date wins
    for (const DayRecord& record : contents.days) {
        days.emplace(LocalDate{record.day, record.month, record.year}, &record);
    }

    std::string out;
    if (format == ExportFormat::Csv) {
        out += "date,download_mib,upload_mib,total_mib\n";
        for (const auto& [date, record] : days) {
            AppendIsoDate(out, date);
            AppendFormatted(out, ",%.6f,%.6f,%.6f\n", record->downloaded, record->uploaded,
                            record->downloaded + record->uploaded);
        }
        return out;
    }
    out += "{\"since\": \"";
    AppendIsoDate(out, days.empty() ? today : days.begin()->first);
    out += "\", \"days\": [";
    const char* separator = "";
    for (const auto& [date, record] : days) {
        out += separator;
        out += "\n  {\"date\": \"";
        AppendIsoDate(out, date);
        AppendFormatted(out, "\", \"download_mib\": %.6f, \"upload_mib\": %.6f}",
                        record->downloaded, record->uploaded);
        separator = ",";
    }
    out += days.empty() ? "]}\n" : "\n]}\n";
    return out;
}
