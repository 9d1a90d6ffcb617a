#include "quota/QuotaProjection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuotaTestSupport.h"
#include "quota/CQuotaEarlyWarning.h"

// Found by argument-dependent lookup, so in the namespace of LocalDate.
std::ostream& operator<<(std::ostream& out, const LocalDate& d) {
    return out << d.day << "/" << d.month << "/" << d.year;
}

namespace {

struct Day {
    LocalDate date;
    double downloaded = 0.0;
    double uploaded = 0.0;
};

constexpr double kUsed = 100.0;
constexpr double kNoLimit = 1e9;

// 1000 MB downloaded every day for six weeks before `now`, and today's share of it so far: a
// pace of exactly 1000 MB a day however the days are counted.
std::vector<Day> SteadyHistory(const LocalDateTime& now) {
    std::vector<Day> days;
    for (int back = 42; back >= 1; --back) {
        days.push_back({AddDays(now.date, -back), 1000.0});
    }
    days.push_back({now.date, 1000.0 * (now.hour * 60 + now.minute) / 1440.0});
    return days;
}

class QuotaProjectionTest : public QuotaFixture {
protected:
    QuotaProjectionTest() : QuotaFixture({1, 12, 2026}) {}

    // The history and quota of the folder, as the program would start with them at `now`.
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
};

QuotaValues Total(double limit, double used, LocalDate next = {1, 1, 2027}) {
    return ActiveTotalQuota(limit, used, 0.0, next.day, next);
}

QuotaValues Separate(double download, double upload, double downloaded, double uploaded) {
    QuotaValues values = ActiveTotalQuota(-1.0, downloaded, uploaded, 1, {1, 1, 2027});
    values.limitTotal = false;
    values.allowedDownload = download;
    values.allowedUpload = upload;
    return values;
}

// The period's bounds and the time left: with a steady 1000 MB a day, what is projected beyond
// the use is 1000 MB for each day left, in real time.
TEST_F(QuotaProjectionTest, TheTimeLeftRunsInTheLocalCalendarToTheDayTheNextPeriodBegins) {
    struct Case {
        const char* name;
        LocalDateTime now;
        LocalDate stored;  // the next period as the quota holds it
        LocalDate first;
        LocalDate next;
        double projected;
        LocalDateTime clockChange{};
        int changeMinutes = 0;
    };
    const Case cases[] = {
        {"reset 1st, common February",
         {{10, 2, 2027}, 12},
         {1, 3, 2027},
         {1, 2, 2027},
         {1, 3, 2027},
         kUsed + 1000 * 18.5},
        {"reset 1st, leap February",
         {{10, 2, 2028}, 12},
         {1, 3, 2028},
         {1, 2, 2028},
         {1, 3, 2028},
         kUsed + 1000 * 19.5},
        {"reset 15th",
         {{10, 2, 2027}, 12},
         {15, 2, 2027},
         {15, 1, 2027},
         {15, 2, 2027},
         kUsed + 1000 * 4.5},
        {"reset 29th, common year: next begins 1 March",
         {{10, 2, 2027}, 12},
         {29, 2, 2027},
         {29, 1, 2027},
         {1, 3, 2027},
         kUsed + 1000 * 18.5},
        {"reset 29th, leap year: next begins 29 February",
         {{10, 2, 2028}, 12},
         {29, 2, 2028},
         {29, 1, 2028},
         {29, 2, 2028},
         kUsed + 1000 * 18.5},
        {"reset 30th, common year",
         {{10, 2, 2027}, 12},
         {30, 2, 2027},
         {30, 1, 2027},
         {1, 3, 2027},
         kUsed + 1000 * 18.5},
        {"reset 30th, leap year",
         {{10, 2, 2028}, 12},
         {30, 2, 2028},
         {30, 1, 2028},
         {1, 3, 2028},
         kUsed + 1000 * 19.5},
        {"reset 31st, common year",
         {{10, 2, 2027}, 12},
         {31, 2, 2027},
         {31, 1, 2027},
         {1, 3, 2027},
         kUsed + 1000 * 18.5},
        {"reset 29th after a common February: began 1 March",
         {{5, 3, 2027}, 12},
         {29, 3, 2027},
         {1, 3, 2027},
         {29, 3, 2027},
         kUsed + 1000 * 23.5},
        {"reset 29th after a leap February: began 29 February",
         {{5, 3, 2028}, 12},
         {29, 3, 2028},
         {29, 2, 2028},
         {29, 3, 2028},
         kUsed + 1000 * 23.5},
        {"reset 31st in March: began 1 March",
         {{5, 3, 2028}, 12},
         {31, 3, 2028},
         {1, 3, 2028},
         {31, 3, 2028},
         kUsed + 1000 * 25.5},
        {"over the year end",
         {{20, 12, 2026}, 12},
         {15, 1, 2027},
         {15, 12, 2026},
         {15, 1, 2027},
         kUsed + 1000 * 25.5},
        {"clocks forward an hour before the period ends",
         {{20, 3, 2026}, 12},
         {1, 4, 2026},
         {1, 3, 2026},
         {1, 4, 2026},
         kUsed + 1000 * (11.5 - 1.0 / 24),
         {{29, 3, 2026}, 3},
         60},
        {"clocks back an hour before the period ends",
         {{20, 10, 2026}, 12},
         {1, 11, 2026},
         {1, 10, 2026},
         {1, 11, 2026},
         kUsed + 1000 * (11.5 + 1.0 / 24),
         {{25, 10, 2026}, 2},
         -60},
        // 7500 MB in seven and a half days less an hour, then half a day left.
        {"clocks forward an hour within the last week",
         {{31, 3, 2026}, 12},
         {1, 4, 2026},
         {1, 3, 2026},
         {1, 4, 2026},
         kUsed + 7500 / (7.5 - 1.0 / 24) * 0.5,
         {{29, 3, 2026}, 3},
         60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        localClock.SetClockChange(c.clockChange, c.changeMinutes);
        const QuotaProjection projection =
            ProjectQuota(Start(c.now, SteadyHistory(c.now), Total(kNoLimit, kUsed, c.stored)));
        EXPECT_EQ(projection.period.first, c.first);
        EXPECT_EQ(projection.period.next, c.next);
        ASSERT_EQ(projection.limits.size(), 1u);
        EXPECT_TRUE(projection.limits[0].known);
        EXPECT_NEAR(projection.limits[0].projected, c.projected, 0.001);
    }
}

TEST_F(QuotaProjectionTest, ThePaceIsThePeriodsOwnAverageThenThatOfTheLastWeek) {
    struct Expected {
        QuotaLimit limit;
        bool known;
        double projected = 0.0;
        LocalDate passesOn{0, 0, 0};
    };
    struct Case {
        const char* name;
        LocalDateTime now;  // in the period from 1 December to 1 January
        std::vector<Day> days;
        QuotaValues quota;
        std::vector<Expected> expected;
    };
    const LocalDate dec1{1, 12, 2026};
    auto dec = [](int day) { return LocalDate{day, 12, 2026}; };
    std::vector<Day> firstHeavy{{dec1, 50000.0}};
    std::vector<Day> lastWeek;
    std::vector<Day> bothWays;
    for (int day = 2; day <= 20; ++day) {
        if (day <= 8) {
            firstHeavy.push_back({dec(day), 1000.0});
        }
        if (day >= 14) {
            lastWeek.push_back({dec(day), 1000.0});
        }
        if (day <= 11) {
            bothWays.push_back({dec(day - 1), 1000.0, 200.0});
        }
    }
    const Case cases[] = {
        {"0 h: nothing yet", {dec1, 0}, {}, Total(10000, 0), {{kTotalLimit, false}}},
        {"23 h: still nothing",
         {dec1, 23},
         {{dec1, 5000.0}},
         Total(10000, 5000),
         {{kTotalLimit, false}}},
        {"1 day: the first day's pace for 30 days",
         {dec(2), 0},
         {{dec1, 2000.0}},
         Total(kNoLimit, 2000),
         {{kTotalLimit, true, 2000 + 2000 * 30}}},
        {"6 days: the period's average",
         {dec(7), 0},
         {{dec1, 6000.0},
          {dec(2), 1000.0},
          {dec(3), 1000.0},
          {dec(4), 1000.0},
          {dec(5), 1000.0},
          {dec(6), 1000.0}},
         Total(kNoLimit, 11000),
         {{kTotalLimit, true, 11000 + 11000.0 / 6 * 25}}},
        {"8 days: the heavy first day left out",
         {dec(9), 0},
         firstHeavy,
         Total(kNoLimit, 57000),
         {{kTotalLimit, true, 57000 + 1000 * 23}}},
        {"no traffic: the use stays",
         {dec(15), 12},
         {},
         Total(1000, 300),
         {{kTotalLimit, true, 300}}},
        {"passing the limit on the period's last day",
         {dec(21), 0},
         lastWeek,
         Total(60500, 50000),
         {{kTotalLimit, true, 50000 + 1000 * 11, dec(31)}}},
        {"separate limits, each at its own pace",
         {dec(11), 0},
         bothWays,
         Separate(40000, 5100, 10000, 2000),
         {{kDownloadLimit, true, 10000 + 1000 * 21},
          {kUploadLimit, true, 2000 + 200 * 21, dec(26)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QuotaProjection projection = ProjectQuota(Start(c.now, c.days, c.quota));
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

TEST_F(QuotaProjectionTest, AQuotaSwitchedOffProjectsNothing) {
    QuotaValues off = Total(1000, 0);
    off.active = false;
    const LocalDateTime now{{10, 12, 2026}, 12};
    EXPECT_TRUE(ProjectQuota(Start(now, SteadyHistory(now), off)).limits.empty());
}

class QuotaEarlyWarningTest : public QuotaProjectionTest {
protected:
    // The session's totals so far (MB); the quota works once on them.
    void Work(double downloaded) {
        for (int i = 0; i < CTrafficQuota::kUpdateDivisor; ++i) {
            history->Update(downloaded, 0.0);
        }
    }
    std::vector<LimitProjection> Warned(CQuotaEarlyWarning& warning) {
        std::vector<LimitProjection> limits;
        warning.TakeWarning(limits);
        return limits;
    }
};

// The steady 1000 MB a day heads for 29500 of a 30000 MB limit, with 21.5 days to go: a little
// more today takes it past.
TEST_F(QuotaEarlyWarningTest, IsGivenOncePerPeriodAndLimitWhileTheUseIsWithinIt) {
    const LocalDateTime now{{10, 12, 2026}, 12};
    Start(now, SteadyHistory(now), Total(30000, 8000));
    CQuotaEarlyWarning warning(*quota);
    Work(0.0);
    EXPECT_TRUE(Warned(warning).empty());

    Work(200.0);
    const std::vector<LimitProjection> warned = Warned(warning);
    ASSERT_EQ(warned.size(), 1u);
    EXPECT_EQ(warned[0].limit, kTotalLimit);
    EXPECT_EQ(warned[0].passesOn, (LocalDate{31, 12, 2026}));
    Work(600.0);
    EXPECT_TRUE(Warned(warning).empty()) << "further past it";

    // Four quiet days bring the projection back under the limit; a busy one takes it past again.
    localClock.SetDate({14, 12, 2026});
    Work(600.0);
    ASSERT_FALSE(ProjectQuota(*quota).limits[0].Passes());
    Work(10600.0);
    ASSERT_TRUE(ProjectQuota(*quota).limits[0].Passes());
    EXPECT_TRUE(Warned(warning).empty()) << "passed again in the same period";

    CQuotaEarlyWarning restarted(*quota);
    Work(10700.0);
    EXPECT_TRUE(Warned(restarted).empty()) << "already past it when the program starts";

    // A limit the use has passed has its own notice; a changed limit is a new one.
    quota->SetAllowedTotal(15000.0);
    Work(10800.0);
    EXPECT_TRUE(Warned(warning).empty());
    quota->SetAllowedTotal(40000.0);
    Work(10900.0);
    EXPECT_EQ(Warned(warning).size(), 1u);

    // A new period, and within two days a pace that takes it past: warned again.
    localClock.SetDate({2, 1, 2027});
    Work(12900.0);
    EXPECT_EQ(quota->Total(), 2000.0);
    EXPECT_EQ(Warned(warning).size(), 1u);
}

}  // namespace
