#include "quota/ProjectionTexts.h"

#include "core/Formatters.h"

std::string ProjectedLine(const LimitProjection& limit) {
    const char* name = limit.limit == kDownloadLimit ? "Projected download: "
                       : limit.limit == kUploadLimit ? "Projected upload: "
                                                     : "Projected: ";
    if (!limit.known) {
        return std::string(name) + "—";
    }
    return name + QuotaAmountText(limit.projected).Text() + " (" +
           WholePercentText(UsedPercent(limit.projected, limit.allowed)) + ")";
}

std::string TooltipQuotaLine(const QuotaProjection& projection) {
    const LimitProjection* shown = LeadingLimit(projection);
    if (shown == nullptr) {
        return {};
    }
    const char* name = shown->limit == kDownloadLimit ? "Download quota: "
                       : shown->limit == kUploadLimit ? "Upload quota: "
                                                      : "Quota: ";
    std::string line = name + WholePercentText(UsedPercent(shown->used, shown->allowed)) + " used";
    if (shown->known) {
        line +=
            ", " + WholePercentText(UsedPercent(shown->projected, shown->allowed)) + " projected";
    }
    return line;
}

std::string EarlyWarningText(const std::vector<LimitProjection>& limits, const LocaleTexts& texts) {
    std::string text;
    for (const LimitProjection& limit : limits) {
        const char* what = limit.limit == kDownloadLimit ? "download"
                           : limit.limit == kUploadLimit ? "upload"
                                                         : "total traffic";
        if (!text.empty()) {
            text += '\n';
        }
        text += std::string("At this pace, ") + what + " passes its limit of " +
                QuotaLimitText(limit.allowed).Text() + " around " +
                texts.ShortDate(limit.passesOn) + ".";
    }
    return text;
}
