#include "quota/ProjectionTexts.h"

#include "core/Formatters.h"

std::string ProjectedLine(const LimitProjection& limit, const LocaleTexts& texts) {
    const std::string line =
        limit.limit == kDownloadLimit ? texts.Translate("ProjectionTexts", "Projected download: %1")
        : limit.limit == kUploadLimit ? texts.Translate("ProjectionTexts", "Projected upload: %1")
                                      : texts.Translate("ProjectionTexts", "Projected: %1");
    if (!limit.known) {
        return FillArgs(line, {"—"});
    }
    return FillArgs(line, {QuotaAmountText(limit.projected).Text() + " (" +
                           WholePercentText(UsedPercent(limit.projected, limit.allowed)) + ")"});
}

std::string TooltipQuotaLine(const QuotaProjection& projection, const LocaleTexts& texts) {
    const LimitProjection* shown = LeadingLimit(projection);
    if (shown == nullptr) {
        return {};
    }
    const std::string used = WholePercentText(UsedPercent(shown->used, shown->allowed));
    if (!shown->known) {
        return FillArgs(shown->limit == kDownloadLimit
                            ? texts.Translate("ProjectionTexts", "Download quota: %1 used")
                        : shown->limit == kUploadLimit
                            ? texts.Translate("ProjectionTexts", "Upload quota: %1 used")
                            : texts.Translate("ProjectionTexts", "Quota: %1 used"),
                        {used});
    }
    return FillArgs(
        shown->limit == kDownloadLimit
            ? texts.Translate("ProjectionTexts", "Download quota: %1 used, %2 projected")
        : shown->limit == kUploadLimit
            ? texts.Translate("ProjectionTexts", "Upload quota: %1 used, %2 projected")
            : texts.Translate("ProjectionTexts", "Quota: %1 used, %2 projected"),
        {used, WholePercentText(UsedPercent(shown->projected, shown->allowed))});
}

std::string EarlyWarningText(const std::vector<LimitProjection>& limits, const LocaleTexts& texts) {
    std::string text;
    for (const LimitProjection& limit : limits) {
        const std::string sentence =
            limit.limit == kDownloadLimit
                ? texts.Translate("ProjectionTexts",
                                  "At this pace, download passes its limit of %1 around %2.")
            : limit.limit == kUploadLimit
                ? texts.Translate("ProjectionTexts",
                                  "At this pace, upload passes its limit of %1 around %2.")
                : texts.Translate("ProjectionTexts",
                                  "At this pace, total traffic passes its limit of %1 around %2.");
        if (!text.empty()) {
            text += '\n';
        }
        text += FillArgs(sentence,
                         {QuotaLimitText(limit.allowed).Text(), texts.ShortDate(limit.passesOn)});
    }
    return text;
}
