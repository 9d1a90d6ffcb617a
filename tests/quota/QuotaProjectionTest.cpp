#include "quota/QuotaProjection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "QuotaTestSupport.h"
#include "quota/CQuotaEarlyWarning.h"
#include "quota/ProjectionTexts.h"

// Found by argument-dependent lookup, so in the namespace of LocalDate.
std::ostream& operator<<(std::ostream& out, const LocalDate& d) {
    return out << d.day << "/" << d.month << "/" << d.year;
}

namespace {

constexpr double kUsed = 100.0;
constexpr double kNoLimit = 1e9;

struct Day {
    LocalDate date;
    double downloaded = 0.0;
    double uploaded = 0.0;
};

// `down` and `up` MB on each day from `first` up to `now`, today's share of them so far included.
std::vector<Day> Steady(LocalDate first, const LocalDateTime& now, double down, double up = 0.0) {
    std::vector<Day> days;
    for (LocalDate day = first; day <= now.date; day = AddDays(day, 1)) {
        const double share = day == now.date ? (now.hour * 60 + now.minute) / 1440.0 : 1.0;
        days.push_back({day, down * share, up * share});
    }
    return days;
}

QuotaValues Total(double limit, double used, LocalDate next = {1, 1, 2027}) {
    return ActiveTotalQuota(limit, used, 0.0, next.day, next);
}

class QuotaProjectionTest : public QuotaFixture {
protected:
    QuotaProjectionTest() : QuotaFixture({1, 12, 2026}) {}

    // The program's start at `now` with this history and quota.
    CTrafficQuota& Start(const LocalDateTime& now, const std::vector<Day>& days,
                         const QuotaValues& file) {
        localClock.SetDate(now.date);
        localClock.SetTime(now.hour, now.minute);
        std::string text = "V1.0.0\n";
        for (const Day& day : days) {
            AppendFormatted(text, "%d %d %d %f %f\n", day.date.day, day.date.month, day.date.year,
                            day.uploaded, day.downloaded);
        }
        EXPECT_TRUE(folder.WriteDataFile(CTrafficHistory::kFileName, text));
        return StartQuota(&file);
    }
    // Six weeks of 1000 MB a day: a pace of 1000 MB a day however the days are counted.
    CTrafficQuota& StartSteady(const LocalDateTime& now, const QuotaValues& file) {
        return Start(now, Steady(AddDays(now.date, -42), now, 1000), file);
    }
};

// At 1000 MB a day, what is projected beyond the use is 1000 MB for each day left, counted in
// real time up to the day the next period begins.
TEST_F(QuotaProjectionTest, TheTimeLeftRunsInTheLocalCalendarToTheDayTheNextPeriodBegins) {
    struct Case {
        const char* name;
        LocalDate today;   // at noon
        LocalDate stored;  // the next period as the quota holds it
        LocalDate first;
        LocalDate next;
        double beyondUse;
        LocalDateTime clockChange{};
        int changeMinutes = 0;
    };
    const Case cases[] = {
        {"1st common", {10, 2, 2027}, {1, 3, 2027}, {1, 2, 2027}, {1, 3, 2027}, 1000 * 18.5},
        {"1st leap", {10, 2, 2028}, {1, 3, 2028}, {1, 2, 2028}, {1, 3, 2028}, 1000 * 19.5},
        {"15th", {10, 2, 2027}, {15, 2, 2027}, {15, 1, 2027}, {15, 2, 2027}, 1000 * 4.5},
        {"29th common", {10, 2, 2027}, {29, 2, 2027}, {29, 1, 2027}, {1, 3, 2027}, 1000 * 18.5},
        {"29th leap", {10, 2, 2028}, {29, 2, 2028}, {29, 1, 2028}, {29, 2, 2028}, 1000 * 18.5},
        {"30th common", {10, 2, 2027}, {30, 2, 2027}, {30, 1, 2027}, {1, 3, 2027}, 1000 * 18.5},
        {"30th leap", {10, 2, 2028}, {30, 2, 2028}, {30, 1, 2028}, {1, 3, 2028}, 1000 * 19.5},
        {"31st common", {10, 2, 2027}, {31, 2, 2027}, {31, 1, 2027}, {1, 3, 2027}, 1000 * 18.5},
        {"29th after common Feb", {5, 3, 2027}, {29, 3, 2027}, {1, 3, 2027}, {29, 3, 2027}, 23500},
        {"29th after leap Feb", {5, 3, 2028}, {29, 3, 2028}, {29, 2, 2028}, {29, 3, 2028}, 23500},
        {"31st after leap Feb", {5, 3, 2028}, {31, 3, 2028}, {1, 3, 2028}, {31, 3, 2028}, 25500},
        {"year end", {20, 12, 2026}, {15, 1, 2027}, {15, 12, 2026}, {15, 1, 2027}, 25500},
        {"clocks forward before the end",
         {20, 3, 2026},
         {1, 4, 2026},
         {1, 3, 2026},
         {1, 4, 2026},
         1000 * (11.5 - 1.0 / 24),
         {{29, 3, 2026}, 3},
         60},
        {"clocks back before the end",
         {20, 10, 2026},
         {1, 11, 2026},
         {1, 10, 2026},
         {1, 11, 2026},
         1000 * (11.5 + 1.0 / 24),
         {{25, 10, 2026}, 2},
         -60},
        // 7500 MB in seven and a half days less an hour, then half a day to go.
        {"clocks forward within the last week",
         {31, 3, 2026},
         {1, 4, 2026},
         {1, 3, 2026},
         {1, 4, 2026},
         7500 / (7.5 - 1.0 / 24) * 0.5,
         {{29, 3, 2026}, 3},
         60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        localClock.SetClockChange(c.clockChange, c.changeMinutes);
        const QuotaProjection projection =
            ProjectQuota(StartSteady({c.today, 12}, Total(kNoLimit, kUsed, c.stored)));
        EXPECT_EQ(projection.period.first, c.first);
        EXPECT_EQ(projection.period.next, c.next);
        ASSERT_EQ(projection.limits.size(), 1u);
        EXPECT_TRUE(projection.limits[0].known);
        EXPECT_NEAR(projection.limits[0].projected, kUsed + c.beyondUse, 0.001);
    }
}

// In the period from 1 December 2026 to 1 January: 1000 MB down and 200 up a day from the 2nd.
TEST_F(QuotaProjectionTest, ThePaceIsThePeriodsOwnAverageThenThatOfTheLastWeek) {
    struct Expected {
        QuotaLimit limit;
        bool known;
        double projected = 0.0;
        LocalDate passesOn{0, 0, 0};
    };
    struct Case {
        const char* name;
        LocalDateTime now;
        double firstDay;  // MB on 1 December
        QuotaValues quota;
        std::vector<Expected> expected;
        int steadyFrom = 2;
    };
    auto dec = [](int day) { return LocalDate{day, 12, 2026}; };
    QuotaValues separate = Total(-1.0, 10000);
    separate.limitTotal = false;
    separate.allowedDownload = 40000;
    separate.allowedUpload = 5100;
    separate.uploaded = 2000;
    const Case cases[] = {
        {"0 h: nothing yet", {dec(1), 0}, 0, Total(10000, 0), {{kTotalLimit, false}}},
        {"23 h: still nothing", {dec(1), 23}, 5000, Total(10000, 5000), {{kTotalLimit, false}}},
        {"1 day: the first day's pace",
         {dec(2), 0},
         2000,
         Total(kNoLimit, 2000),
         {{kTotalLimit, true, 2000 + 2000 * 30}}},
        {"6 days: the period's average",
         {dec(7), 0},
         6000,
         Total(kNoLimit, 12000),
         {{kTotalLimit, true, 12000 + 2000 * 25}}},
        {"8 days: the heavy first day left out",
         {dec(9), 0},
         50000,
         Total(kNoLimit, 58400),
         {{kTotalLimit, true, 58400 + 1200 * 23}}},
        {"passing the limit on the last day",
         {dec(21), 0},
         0,
         Total(62600, 50000),
         {{kTotalLimit, true, 50000 + 1200 * 11, dec(31)}}},
        {"separate limits at their own paces",
         {dec(11), 0},
         0,
         separate,
         {{kDownloadLimit, true, 10000 + 1000 * 21},
          {kUploadLimit, true, 2000 + 200 * 21, dec(26)}}},
        {"no traffic: the use stays",
         {dec(15), 12},
         0,
         Total(1000, 300),
         {{kTotalLimit, true, 300}},
         32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Day> days = Steady(dec(c.steadyFrom), c.now, 1000, 200);
        days.push_back({dec(1), c.firstDay});
        const QuotaProjection projection = ProjectQuota(Start(c.now, days, c.quota));
        ASSERT_EQ(projection.limits.size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            const LimitProjection& limit = projection.limits[i];
            EXPECT_EQ(limit.limit, c.expected[i].limit);
            EXPECT_EQ(limit.known, c.expected[i].known);
            if (c.expected[i].known) {
                EXPECT_NEAR(limit.projected, c.expected[i].projected, 0.001);
            }
            EXPECT_EQ(limit.passesOn, c.expected[i].passesOn);
        }
    }
}

TEST(ProjectionTexts, TheTooltipLeadsWithAPassedLimitElseTheHighestProjection) {
    auto limit = [](QuotaLimit which, double used, double allowed, double projected) {
        return LimitProjection{which, used, allowed, projected >= 0.0, projected};
    };
    struct Case {
        std::vector<LimitProjection> limits;
        const char* line;
    };
    const Case cases[] = {
        {{limit(kTotalLimit, 63.9, 100, 94.2)}, "Quota: 63% used, 94% projected"},
        {{limit(kDownloadLimit, 80, 100, 90), limit(kUploadLimit, 5, 10, 9.5)},
         "Upload quota: 50% used, 95% projected"},
        {{limit(kDownloadLimit, 10, 100, 150), limit(kUploadLimit, 9, 10, 12)},
         "Download quota: 10% used, 150% projected"},
        {{limit(kDownloadLimit, 10, 100, -1), limit(kUploadLimit, 3, 10, -1)},
         "Upload quota: 30% used"},
        // A limit already passed leads, however far another is heading.
        {{limit(kDownloadLimit, 10.5, 10, 10.8), limit(kUploadLimit, 0.6, 1, 2.21)},
         "Download quota: 105% used, 108% projected"},
        {{limit(kDownloadLimit, 10.5, 10, -1), limit(kUploadLimit, 0.9, 1, -1)},
         "Download quota: 105% used"},
        {{limit(kDownloadLimit, 12, 10, 13), limit(kUploadLimit, 1.5, 1, 1.6)},
         "Upload quota: 150% used, 160% projected"},
        {{}, ""},
    };
    const FakeLocaleTexts english;
    for (const Case& c : cases) {
        EXPECT_EQ(TooltipQuotaLine({{}, c.limits}, english), c.line);
    }
}

class QuotaEarlyWarningTest : public QuotaProjectionTest {
protected:
    // The session's totals so far (MB); the quota works once on them.
    void Work(double downloaded) {
        for (int i = 0; i < CTrafficQuota::kUpdateDivisor; ++i) {
            history->Update(downloaded, 0.0);
        }
    }
    std::size_t Warned(CQuotaEarlyWarning& warning) {
        warned.clear();
        warning.TakeWarning(warned);
        return warned.size();
    }
    std::vector<LimitProjection> warned;
};

// 1000 MB a day heads for 29500 of a 30000 MB limit with 21.5 days to go; a little more today
// takes it past.
TEST_F(QuotaEarlyWarningTest, IsGivenOncePerPeriodAndLimitWhileTheUseIsWithinIt) {
    StartSteady({{10, 12, 2026}, 12}, Total(30000, 8000));
    CQuotaEarlyWarning warning(*quota, folder);
    Work(0.0);
    EXPECT_EQ(Warned(warning), 0u);
    Work(200.0);
    ASSERT_EQ(Warned(warning), 1u);
    EXPECT_EQ(warned[0].passesOn, (LocalDate{31, 12, 2026}));
    Work(600.0);
    EXPECT_EQ(Warned(warning), 0u) << "further past it";

    // Four quiet days bring the projection back under the limit; a busy one takes it past again.
    localClock.SetDate({14, 12, 2026});
    Work(600.0);
    ASSERT_FALSE(ProjectQuota(*quota).limits[0].Passes());
    Work(10600.0);
    ASSERT_TRUE(ProjectQuota(*quota).limits[0].Passes());
    EXPECT_EQ(Warned(warning), 0u) << "passed again in the same period";

    CQuotaEarlyWarning restarted(*quota, folder);
    Work(10700.0);
    EXPECT_EQ(Warned(restarted), 0u) << "already past it when the program starts";

    // A limit the use has passed has its own notice; a changed limit is a new one.
    quota->SetAllowedTotal(15000.0);
    Work(10800.0);
    EXPECT_EQ(Warned(warning), 0u);
    quota->SetAllowedTotal(40000.0);
    Work(10900.0);
    EXPECT_EQ(Warned(warning), 1u);

    // A new period, and within two days a pace that takes it past: warned again.
    localClock.SetDate({2, 1, 2027});
    Work(12900.0);
    EXPECT_EQ(quota->Total(), 2000.0);
    EXPECT_EQ(Warned(warning), 1u);
}

// 1000 MB a day on 9000 of 30000 MB heads for 30500: past the limit from the start. What runs
// before told is read from the folder; anything it cannot take counts as nothing told.
TEST_F(QuotaEarlyWarningTest, AProjectionPastTheLimitAtStartIsWarnedOnceAcrossRestarts) {
    struct Case {
        const char* name;
        const char* file;  // what an earlier run left; null: none
        std::size_t warned;
    };
    const Case cases[] = {
        {"first start", nullptr, 1},
        {"told this limit", "V1.0.0\n1 1 2027\n1 30000.000000\n", 0},
        {"told in the period before", "V1.0.0\n1 12 2026\n1 30000.000000\n", 1},
        {"told another allowance", "V1.0.0\n1 1 2027\n1 20000.000000\n", 1},
        {"told the download limit", "V1.0.0\n1 1 2027\n2 30000.000000\n", 1},
        {"damaged", "V1.0.0\n1 1 2027\n1 30000.0x\n", 1},
        {"cut short", "V1.0.0\n1 1\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(folder.DataFilePath(CQuotaEarlyWarning::kFileName).c_str());
        if (c.file != nullptr) {
            ASSERT_TRUE(folder.WriteDataFile(CQuotaEarlyWarning::kFileName, c.file));
        }
        StartSteady({{10, 12, 2026}, 12}, Total(30000, 9000));
        CQuotaEarlyWarning warning(*quota, folder);
        Work(0.0);
        EXPECT_EQ(Warned(warning), c.warned);
    }

    // Told, then restarted twice (the second time with the projection under the limit, which
    // then rises past it again), then the next period.
    std::remove(folder.DataFilePath(CQuotaEarlyWarning::kFileName).c_str());
    StartSteady({{10, 12, 2026}, 12}, Total(30000, 9000));
    auto warning = std::make_unique<CQuotaEarlyWarning>(*quota, folder);
    EXPECT_EQ(Warned(*warning), 1u);
    warning.reset();
    StartQuota(nullptr);
    warning = std::make_unique<CQuotaEarlyWarning>(*quota, folder);
    Work(0.0);
    EXPECT_EQ(Warned(*warning), 0u) << "restarted";
    warning.reset();
    localClock.SetDate({14, 12, 2026});
    StartQuota(nullptr);
    warning = std::make_unique<CQuotaEarlyWarning>(*quota, folder);
    Work(0.0);
    ASSERT_FALSE(ProjectQuota(*quota).limits[0].Passes()) << "four quiet days";
    Work(12000.0);
    ASSERT_TRUE(ProjectQuota(*quota).limits[0].Passes());
    EXPECT_EQ(Warned(*warning), 0u) << "restarted under the limit, then past it again";
    localClock.SetDate({2, 1, 2027});
    Work(14000.0);
    EXPECT_EQ(Warned(*warning), 1u) << "the next period";
}

}  // namespace
