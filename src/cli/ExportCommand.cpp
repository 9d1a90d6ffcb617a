#include "cli/ExportCommand.h"

#include <cerrno>
#include <cstring>

#include "cli/CommandFiles.h"
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
