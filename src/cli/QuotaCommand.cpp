#include "cli/QuotaCommand.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/CommandFiles.h"
#include "core/Formatters.h"
#include "core/Translatable.h"
#include "persistence/CDataFolder.h"
#include "persistence/CQuotaFile.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "persistence/HistoryExport.h"
#include "platform/MsClock.h"
#include "quota/CTrafficQuota.h"
#include "quota/QuotaProjection.h"

namespace {

std::string IsoDate(const LocalDate& date) {
    std::string text;
    AppendIsoDate(text, date);
    return text;
}

std::string Report(const QuotaProjection& projection) {
    std::string text;
    AppendFormatted(text, "Period start: %s\nPeriod end: %s\n",
                    IsoDate(projection.period.first).c_str(),
                    IsoDate(AddDays(projection.period.next, -1)).c_str());
    // The limit the tooltip and the status speak of comes first.
    std::vector<const LimitProjection*> limits;
    const LimitProjection* leading = LeadingLimit(projection);
    for (const LimitProjection& limit : projection.limits) {
        limits.insert(&limit == leading ? limits.begin() : limits.end(), &limit);
    }
    for (const LimitProjection* shown : limits) {
        const LimitProjection& limit = *shown;
        const char* name = limit.limit == kDownloadLimit ? "Download"
                           : limit.limit == kUploadLimit ? "Upload"
                                                         : "Total";
        AppendFormatted(text, "%s used: %s of %s (%s)\n", name,
                        QuotaAmountText(limit.used).Text().c_str(),
                        QuotaLimitText(limit.allowed).Text().c_str(),
                        PercentText(UsedPercent(limit.used, limit.allowed)).c_str());
        if (!limit.known) {
            AppendFormatted(text, "%s projected: — (not in the period's first 24 hours)\n", name);
            continue;
        }
        AppendFormatted(text, "%s projected: %s (%s)", name,
                        QuotaAmountText(limit.projected).Text().c_str(),
                        PercentText(UsedPercent(limit.projected, limit.allowed)).c_str());
        if (IsValidDate(limit.passesOn)) {
            AppendFormatted(text, ", passing the limit around %s", IsoDate(limit.passesOn).c_str());
        }
        text += '\n';
    }
    return text;
}

}  // namespace

int RunQuota(const std::string& dataFolder, const LocalClock& clock, const LocaleTexts& texts,
             std::FILE* out, std::FILE* err) {
    const auto tell = [&](const char* source, std::initializer_list<std::string_view> args) {
        const std::string line = FillArgs(texts.Translate("QuotaCommand", source), args);
        std::fprintf(err, "%s\n", line.c_str());
    };
    const CDataFolder folder(dataFolder, {});
    const std::string path = folder.DataFilePath(kQuotaFileName);
    QuotaValues values;
    values.active = false;  // no file: the quota was never switched on
    std::string text;
    if (FileExists(path)) {
        if (!ReadForCommand(
                path, texts.Translate("QuotaCommand", "tallyglass: cannot read the quota %1: %2"),
                text, err)) {
            return 1;
        }
        if (!ParseQuota(text, values)) {
            tell(TRANSLATABLE("QuotaCommand",
                              "tallyglass: some lines of %1 could not be read; the meter takes "
                              "them as their defaults."),
                 {path});
        }
    }
    if (!values.active) {
        tell(TRANSLATABLE("QuotaCommand",
                          "tallyglass: the quota is off: switch it on in the Capwarden window."),
             {});
        return 1;
    }
    // Without the history the pace would be nought: say so rather than project too little.
    const std::string historyPath = folder.DataFilePath(CTrafficHistory::kFileName);
    if (FileExists(historyPath) &&
        !ReadForCommand(
            historyPath,
            texts.Translate("QuotaCommand", "tallyglass: cannot read the history %1: %2"), text,
            err)) {
        return 1;
    }

    SteadyMsClock msClock;
    CTrafficHistory history(folder, msClock, clock);
    CTrafficQuota quota(history, folder, msClock, clock);
    quota.CatchUp();
    const std::string report = Report(ProjectQuota(quota));
    if (!WriteAll(out, report)) {
        tell(TRANSLATABLE("QuotaCommand", "tallyglass: cannot write the quota: %1"),
             {std::strerror(errno)});
        return 1;
    }
    return 0;
}
