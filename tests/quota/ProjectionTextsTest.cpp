#include "quota/ProjectionTexts.h"

#include <gtest/gtest.h>

#include "FakeLocaleTexts.h"

namespace {

LimitProjection Limit(QuotaLimit limit, double used, double allowed, double projected,
                      LocalDate passesOn = {0, 0, 0}) {
    return {limit, used, allowed, true, projected, passesOn};
}

LimitProjection Unknown(QuotaLimit limit, double used, double allowed) {
    return {limit, used, allowed, false};
}

TEST(ProjectionTexts, TheWindowShowsOneLinePerLimitWithTheWindowsUnits) {
    struct Case {
        LimitProjection limit;
        const char* line;
    };
    const Case cases[] = {
        {Limit(kTotalLimit, 600, 102400, 89395.2), "Projected: 87.3 GB (87%)"},
        {Limit(kTotalLimit, 600, 1024, 1024.0), "Projected: 1024.0 MB (100%)"},
        {Limit(kTotalLimit, 600, 1000, 1009.99), "Projected: 1010.0 MB (100%)"},
        {Limit(kDownloadLimit, 0.5, 10, 0.75), "Projected download: 768.0 KB (7%)"},
        {Limit(kUploadLimit, 0, 0, 5), "Projected upload: 5.0 MB (0%)"},
        {Unknown(kTotalLimit, 600, 1000), "Projected: —"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProjectedLine(c.limit), c.line);
    }
}

TEST(ProjectionTexts, TheTooltipNamesTheLimitOfTheHigherShare) {
    struct Case {
        const char* name;
        std::vector<LimitProjection> limits;
        const char* line;
    };
    const Case cases[] = {
        {"total", {Limit(kTotalLimit, 63.9, 100, 94.2)}, "Quota: 63% used, 94% projected"},
        {"upload heads further",
         {Limit(kDownloadLimit, 80, 100, 90), Limit(kUploadLimit, 5, 10, 9.5)},
         "Upload quota: 50% used, 95% projected"},
        {"download heads further",
         {Limit(kDownloadLimit, 10, 100, 150), Limit(kUploadLimit, 9, 10, 12)},
         "Download quota: 10% used, 150% projected"},
        {"nothing projected yet: the use",
         {Unknown(kDownloadLimit, 10, 100), Unknown(kUploadLimit, 3, 10)},
         "Upload quota: 30% used"},
        {"no limit", {}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TooltipQuotaLine({{}, c.limits}), c.line) << c.name;
    }
}

TEST(ProjectionTexts, TheEarlyWarningTellsTheLimitAndTheDayItIsReached) {
    FakeLocaleTexts texts;
    EXPECT_EQ(EarlyWarningText({Limit(kTotalLimit, 50, 102400, 120000, {23, 12, 2026})}, texts),
              "At this pace, total traffic passes its limit of 100 GB around 23/12/2026.");
    EXPECT_EQ(EarlyWarningText({Limit(kDownloadLimit, 50, 1536, 2000, {20, 12, 2026}),
                                Limit(kUploadLimit, 5, 100, 120, {30, 12, 2026})},
                               texts),
              "At this pace, download passes its limit of 1536 MB around 20/12/2026.\n"
              "At this pace, upload passes its limit of 100 MB around 30/12/2026.");
}

}  // namespace
