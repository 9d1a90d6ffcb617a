#include "cli/ImportCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "core/Translatable.h"
#include "hourly/CHourlyStore.h"
#include "hourly/VnstatImport.h"
#include "hourly/VnstatJson.h"
#include "persistence/CInstanceLock.h"
#include "persistence/CSaveFailureNotice.h"
#include "persistence/CSettingsFile.h"
#include "persistence/DataFile.h"
#include "platform/InterfaceSource.h"
#include "platform/LocaleTexts.h"
#include "platform/ReadToEnd.h"

namespace {

// vnStat's JSON of years of five-minute entries stays far below this.
constexpr std::size_t kMaxInput = 256u * 1024u * 1024u;

// Reads the file, or standard input for "-"; errno tells why on failure.
bool ReadSource(const std::string& source, int input, std::string& text) {
    errno = 0;  // a source past the limit leaves no reason of the system's
    if (source == "-") {
        return ReadToEnd(input, text, kMaxInput);
    }
    const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    errno = 0;
    const bool read = ReadToEnd(fd, text, kMaxInput);
    const int error = errno;
    ::close(fd);
    errno = error;
    return read;
}

// What the meter leaves out of its totals: the settings' list, or a new settings file's when
// there is none yet (which the import does not write).
std::vector<std::string> ExcludedInterfaces(const CDataFolder& folder) {
    const std::string path = folder.DataFilePath(kSettingsFileName);
    std::string text;
    if (!FileExists(path) || !ReadTextFile(path, text)) {
        return DefaultSettingsFileValues().excludedDescriptions;
    }
    SettingsValues values;
    ParseSettings(text, values);
    return values.excludedDescriptions;
}

}  // namespace

int RunImportVnstat(const std::string& dataFolder, const std::string& source, int input,
                    const LocalZone& zone, std::int64_t nowUtc, const LocaleTexts& texts,
                    std::FILE* out, std::FILE* err) {
    const auto tell = [&](const char* text, std::initializer_list<std::string_view> args) {
        const std::string line = FillArgs(texts.Translate("ImportCommand", text), args);
        std::fprintf(err, "%s\n", line.c_str());
    };
    const std::string name =
        source == "-" ? texts.Translate("ImportCommand", "standard input") : source;
    std::string text;
    if (!ReadSource(source, input, text)) {
        tell(TRANSLATABLE("ImportCommand", "tallyglass: cannot read %1: %2"),
             {name, errno == 0 ? "too large" : std::strerror(errno)});
        return 1;
    }
    const VnstatReading reading = ReadVnstatJson(text);
    switch (reading.refusal) {
        case VnstatRefusal::None:
            break;
        case VnstatRefusal::OtherVersion:
            tell(TRANSLATABLE("ImportCommand",
                              "tallyglass: %1 is vnStat's JSON of version %2: only version 2 "
                              "(vnStat 2) can be read. Nothing was imported."),
                 {name, reading.detail});
            return 1;
        case VnstatRefusal::BadEntry:
            tell(TRANSLATABLE("ImportCommand",
                              "tallyglass: %1 is not vnStat's JSON as expected (%2). Nothing "
                              "was imported."),
                 {name, reading.detail});
            return 1;
        case VnstatRefusal::NotJson:
        case VnstatRefusal::NotVnstat:
            tell(TRANSLATABLE("ImportCommand",
                              "tallyglass: %1 is not what vnstat --json prints. Nothing was "
                              "imported."),
                 {name});
            return 1;
    }

    // Never two writers: the meter rewrites "stats.dat" from memory, over any day added here.
    CInstanceLock lock;
    switch (lock.Acquire(dataFolder)) {
        case CInstanceLock::Result::Acquired:
            break;
        case CInstanceLock::Result::HeldElsewhere:
            tell(TRANSLATABLE("ImportCommand",
                              "tallyglass: Tallyglass is running with the data folder %1: quit "
                              "it first, then import. Nothing was imported."),
                 {dataFolder});
            return 1;
        case CInstanceLock::Result::Unavailable:
            tell(TRANSLATABLE("ImportCommand",
                              "tallyglass: cannot lock the data folder %1. Nothing was "
                              "imported."),
                 {dataFolder});
            return 1;
    }

    CSaveFailureNotice notice;
    const CDataFolder folder = CDataFolder(dataFolder, {}).ReportingTo(notice);
    const std::vector<std::string> excluded = ExcludedInterfaces(folder);
    const VnstatImportPlan plan = PlanVnstatImport(
        reading.interfaces, zone,
        [&](std::string_view interface) { return !IsExcludedBy(excluded, interface); });
    CHourlyStore store(folder, zone);
    if (store.Open(nowUtc) == CHourlyStore::OpenOutcome::Failed) {
        tell(TRANSLATABLE("ImportCommand", "tallyglass: cannot open %1: %2. Nothing was imported."),
             {store.FilePath(), std::strerror(store.OpenError())});
        return 1;
    }
    const VnstatImportResult result = ApplyVnstatImport(plan, store, folder);
    if (!result.ok) {
        const SaveFailure& failure = notice.First();
        const bool history = notice.HasFailed();
        tell(TRANSLATABLE("ImportCommand", "tallyglass: cannot write %1: %2"),
             {history ? folder.DataFilePath(failure.fileName) : store.FilePath(),
              std::strerror(history ? failure.errorNumber : store.LastError())});
        return 1;
    }
    const std::string summary = FillArgs(
        texts.Translate("ImportCommand",
                        "Imported from vnStat: %1 interfaces, %2 hours added or changed in %3, "
                        "%4 days added to %5."),
        {std::to_string(reading.interfaces.size()), std::to_string(result.hoursChanged),
         CHourlyStore::kFileName, std::to_string(result.daysAdded), "stats.dat"});
    std::fprintf(out, "%s\n", summary.c_str());
    return 0;
}
