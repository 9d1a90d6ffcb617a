#include "channel/MeterStatus.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Formatters.h"
#include "core/Units.h"
#include "graph/CSampleList.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "quota/CTrafficQuota.h"
#include "quota/QuotaProjection.h"

namespace {

std::string SpeedOf(double kilobytesPerSecond) {
    return FormatSpeed(kilobytesPerSecond / kKBPerMB);
}

}  // namespace

MeterStatus CollectStatus(const CSampleList& samples, const CTrafficHistory& history,
                          const CTrafficQuota& quota) {
    MeterStatus status;
    status.sample = samples.Appended();
    if (const SampleNode* newest = samples.Newest()) {
        status.downloadRate = newest->download;
        status.uploadRate = newest->upload;
    }
    status.todayDownload = history.CurrentDay().downloaded;
    status.todayUpload = history.CurrentDay().uploaded;
    status.sessionDownload = history.SessionDownload();
    status.sessionUpload = history.SessionUpload();
    if (!quota.Active()) {
        return status;
    }
    status.quotaExceeded = quota.IsExceeded();
    const QuotaProjection projection = ProjectQuota(quota);
    if (const LimitProjection* leading = LeadingLimit(projection)) {
        status.quotaUsed = UsedPercent(leading->used, leading->allowed);
        status.quotaLimit = leading->limit == kDownloadLimit ? StatusLimit::Download
                            : leading->limit == kUploadLimit ? StatusLimit::Upload
                                                             : StatusLimit::Total;
        if (leading->known) {
            status.quotaProjected = UsedPercent(leading->projected, leading->allowed);
        }
    } else {
        status.quotaUsed = 0.0;  // on, but no limit in use
    }
    return status;
}

const char* StatusLimitName(StatusLimit limit) {
    switch (limit) {
        case StatusLimit::Download:
            return "download";
        case StatusLimit::Upload:
            return "upload";
        case StatusLimit::Total:
            break;
    }
    return "total";
}

int WholePercent(double percent) {
    if (!(percent > 0.0)) {
        return 0;
    }
    const double whole = std::floor(percent);
    return whole < static_cast<double>(std::numeric_limits<int>::max())
               ? static_cast<int>(whole)
               : std::numeric_limits<int>::max();
}

std::string StatusText(const MeterStatus& status) {
    return SpeedsLine(status.downloadRate, status.uploadRate);
}

std::string StatusTooltip(const MeterStatus& status) {
    std::string tip = "Down: " + SpeedOf(status.downloadRate) +
                      "\nUp: " + SpeedOf(status.uploadRate) +
                      "\nToday: " + ListAmountText(status.todayDownload) + " down, " +
                      ListAmountText(status.todayUpload) + " up" +
                      "\nSession: " + ListAmountText(status.sessionDownload) + " down, " +
                      ListAmountText(status.sessionUpload) + " up";
    if (status.quotaUsed) {
        AppendFormatted(tip, "\n%s: %d%% used",
                        status.quotaLimit == StatusLimit::Download ? "Download quota"
                        : status.quotaLimit == StatusLimit::Upload ? "Upload quota"
                                                                   : "Quota",
                        WholePercent(*status.quotaUsed));
        if (status.quotaProjected) {
            AppendFormatted(tip, ", %d%% projected", WholePercent(*status.quotaProjected));
        }
        if (status.quotaExceeded) {
            tip += ", past its limit";
        }
    }
    return tip;
}

const char* StatusClass(const MeterStatus& status) {
    if (status.quotaExceeded) {
        return "quota-exceeded";
    }
    return status.downloadRate > 0.0 || status.uploadRate > 0.0 ? "traffic" : "idle";
}

std::string StatusJson(const MeterStatus& status) {
    std::string out = "{\"text\": ";
    AppendJsonString(out, StatusText(status));
    out += ", \"tooltip\": ";
    AppendJsonString(out, StatusTooltip(status));
    out += ", \"class\": \"";
    out += StatusClass(status);
    out += '"';
    if (status.quotaUsed) {
        AppendFormatted(out, ", \"percentage\": %d, \"limit\": \"%s\"",
                        WholePercent(*status.quotaUsed), StatusLimitName(status.quotaLimit));
        if (status.quotaProjected) {
            AppendFormatted(out, ", \"projected\": %d", WholePercent(*status.quotaProjected));
        }
    }
    AppendFormatted(out,
                    ", \"sample\": %llu, \"download_kib_s\": %.3f, \"upload_kib_s\": %.3f"
                    ", \"today_download_mib\": %.6f, \"today_upload_mib\": %.6f"
                    ", \"session_download_mib\": %.6f, \"session_upload_mib\": %.6f}\n",
                    static_cast<unsigned long long>(status.sample), status.downloadRate,
                    status.uploadRate, status.todayDownload, status.todayUpload,
                    status.sessionDownload, status.sessionUpload);
    return out;
}
