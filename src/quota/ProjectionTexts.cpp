#include "quota/ProjectionTexts.h"

#include "core/Formatters.h"

namespace {

// The share used and, once known, projected, that decides which of two limits the tooltip names.
double Share(const LimitProjection& limit) {
    return UsedPercent(limit.known ? limit.projected : limit.used, limit.allowed);
}

}  // namespace

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
    if (projection.limits.empty()) {
        return {};
    }
    const LimitProjection* shown = &projection.limits.front();
    for (const LimitProjection& limit : projection.limits) {
        if (Share(limit) > Share(*shown)) {
            shown = &limit;
        }
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
