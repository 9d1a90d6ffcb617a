#include "cli/ExportCommand.h"

#include <cerrno>
#include <cstring>

#include "cli/CommandFiles.h"
#include "hourly/CHourlyStore.h"
#include "hourly/HourlyExport.h"
#include "persistence/CDataFolder.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"

int RunExport(const std::string& dataFolder, ExportFormat format, const LocalDate& today,
              std::FILE* out, std::FILE* err) {
    const std::string path = CDataFolder(dataFolder, {}).DataFilePath(CTrafficHistory::kFileName);
    HistoryFileContents contents;
    if (FileExists(path)) {
        std::string text;
        if (!ReadForCommand(path, "tallyglass: cannot read the history %1: %2", text, err)) {
            return 1;
        }
        contents = ParseHistory(text);
        if (contents.damaged) {
            std::fprintf(err, "tallyglass: some lines of %s could not be read and are left out.\n",
                         path.c_str());
        }
    }
    const std::string text = ExportHistory(contents, format, today);
    if (!WriteAll(out, text)) {
        std::fprintf(err, "tallyglass: cannot write the export: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

int RunStoreExport(const std::string& dataFolder, ExportFormat format,
                   const std::string& interfaceName, bool hourly, const LocalZone& zone,
                   std::int64_t nowUtc, const LocalDate& today, std::FILE* out, std::FILE* err) {
    const CDataFolder folder(dataFolder, {});
    CHourlyStore store(folder, zone);
    // Opened only when there: an export makes no files.
    if (FileExists(store.FilePath())) {
        const CHourlyStore::OpenOutcome outcome = store.Open(nowUtc);
        if (outcome == CHourlyStore::OpenOutcome::Failed) {
            std::fprintf(err, "tallyglass: cannot read the hourly history %s: %s\n",
                         store.FilePath().c_str(), std::strerror(store.OpenError()));
            return 1;
        }
        if (outcome == CHourlyStore::OpenOutcome::MovedAside) {
            std::fprintf(err, "tallyglass: %s could not be read; it was kept as %s.\n",
                         store.FilePath().c_str(), store.KeptAs().c_str());
        }
    }
    if (!interfaceName.empty()) {
        bool met = false;
        for (const InterfaceMet& known : store.Interfaces()) {
            met = met || known.name == interfaceName;
        }
        if (!met) {
            std::fprintf(err, "tallyglass: the hourly history has no interface %s.\n",
                         interfaceName.c_str());
            return 1;
        }
    }
    if (hourly) {
        bool writeFailed = false;
        const bool done = ExportHours(
            store, interfaceName, format, zone,
            [out](const std::string& piece) { return WriteAll(out, piece); }, writeFailed);
        if (writeFailed) {
            std::fprintf(err, "tallyglass: cannot write the export: %s\n", std::strerror(errno));
            return 1;
        }
        if (!done) {
            std::fprintf(err, "tallyglass: the hourly history %s could not be read to its end.\n",
                         store.FilePath().c_str());
            return 1;
        }
        return 0;
    }
    HistoryFileContents contents;
    for (const DayTotal& total : store.DayTotals(interfaceName, CHourlyStore::kBeginning, today)) {
        contents.days.push_back(AsDayRecord(total));
    }
    if (!WriteAll(out, ExportHistory(contents, format, today))) {
        std::fprintf(err, "tallyglass: cannot write the export: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
