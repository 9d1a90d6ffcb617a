#include "cli/ExportCommand.h"

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "cli/CommandFiles.h"
#include "core/Translatable.h"
#include "hourly/CHourlyStore.h"
#include "hourly/HourlyExport.h"
#include "persistence/CDataFolder.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "platform/LocaleTexts.h"

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
                   const LocalDate& today, const LocaleTexts& texts, std::FILE* out,
                   std::FILE* err) {
    const auto tell = [&](const char* text, std::initializer_list<std::string_view> args) {
        const std::string line = FillArgs(texts.Translate("ExportCommand", text), args);
        std::fprintf(err, "%s\n", line.c_str());
    };
    const CDataFolder folder(dataFolder, {});
    CHourlyStore store(folder, zone);
    // An export only reads: a file it cannot read stays as it is, for the meter to deal with.
    if (store.OpenToRead() == CHourlyStore::OpenOutcome::Failed) {
        if (store.IsDamaged()) {
            tell(TRANSLATABLE("ExportCommand",
                              "tallyglass: the hourly history %1 is damaged and cannot be read; "
                              "it is left as it is. Tallyglass keeps it aside and starts a new "
                              "one when it next starts."),
                 {store.FilePath()});
        } else {
            tell(TRANSLATABLE("ExportCommand", "tallyglass: cannot read the hourly history %1: %2"),
                 {store.FilePath(),
                  store.IsNewer()
                      ? texts.Translate("ExportCommand", "written by a newer version of Tallyglass")
                      : std::strerror(store.OpenError())});
        }
        return 1;
    }
    if (!interfaceName.empty()) {
        bool met = false;
        for (const InterfaceMet& known : store.Interfaces()) {
            met = met || known.name == interfaceName;
        }
        if (!met) {
            tell(TRANSLATABLE("ExportCommand",
                              "tallyglass: the hourly history has no interface %1."),
                 {interfaceName});
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
            tell(TRANSLATABLE("ExportCommand",
                              "tallyglass: the hourly history %1 could not be read to its end."),
                 {store.FilePath()});
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
