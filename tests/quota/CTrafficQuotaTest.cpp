#include "quota/CTrafficQuota.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "QuotaTestSupport.h"

// Found by argument-dependent lookup, so in the namespace of LocalDate.
std::ostream& operator<<(std::ostream& out, const LocalDate& d) {
    return out << d.day << "/" << d.month << "/" << d.year;
}

namespace {

// An active quota in total mode, reset on the 7th, the period ending on 7/1/2027.
QuotaValues ActiveTotal(double limit = 1000.0, double downloaded = 0.0, double uploaded = 0.0) {
    return ActiveTotalQuota(limit, downloaded, uploaded, 7, {7, 1, 2027});
}

QuotaValues ActiveSeparate(double download, double upload, double downloaded = 0.0,
                           double uploaded = 0.0) {
    QuotaValues values = ActiveTotal(-1.0, downloaded, uploaded);
    values.limitTotal = false;
    values.allowedDownload = download;
    values.allowedUpload = upload;
    return values;
}

class TrafficQuotaTest : public QuotaFixture {
protected:
    TrafficQuotaTest() : QuotaFixture({7, 12, 2026}) {}

    CTrafficQuota& Start(const QuotaValues* file) { return StartQuota(file); }
    CTrafficQuota& Start(const QuotaValues& file) { return StartQuota(&file); }

    // Three samples with these session totals (MB): exactly one of them makes the quota work.
    void Feed(double download, double upload = 0.0) {
        for (int i = 0; i < 3; ++i) {
            history->Update(download, upload);
        }
    }
};

TEST_F(TrafficQuotaTest, APeriodThatEndedWhileTheProgramWasClosedRollsOverAtTheFirstCheck) {
    struct Case {
        int resetDay;
        LocalDate periodEnd;  // as saved
        LocalDate today;      // at the next start
        bool cleared;
        LocalDate next;
    };
    // 31 April sorts between 30 April and 1 May, so that period ends on 1 May.
    const Case cases[] = {
        {31, {31, 4, 2026}, {30, 4, 2026}, false, {31, 4, 2026}},
        {31, {31, 4, 2026}, {1, 5, 2026}, true, {31, 5, 2026}},
        {1, {1, 1, 2027}, {31, 12, 2026}, false, {1, 1, 2027}},
        {1, {1, 1, 2027}, {1, 1, 2027}, true, {1, 2, 2027}},
        {31, {31, 12, 2026}, {31, 12, 2026}, true, {31, 1, 2027}},
        {15, {15, 3, 2026}, {7, 12, 2026}, true, {15, 12, 2026}},  // closed for months
        {15, {15, 3, 2026}, {7, 12, 2027}, true, {15, 12, 2027}},  // and a year on
    };
    for (const Case& c : cases) {
        localClock.SetDate(c.today);
        CTrafficQuota& q = Start(ActiveTotalQuota(1000.0, 300.0, 20.0, c.resetDay, c.periodEnd));
        Feed(5.0, 1.0);
        EXPECT_DOUBLE_EQ(q.Total(), c.cleared ? 6.0 : 326.0) << c.today;
        EXPECT_EQ(q.NextPeriod(), c.next) << c.today;
    }
}

TEST_F(TrafficQuotaTest, PeriodRollsOverAtTheFirstCheckOfANewDayWhileRunning) {
    localClock.SetDate({30, 4, 2026});
    CTrafficQuota& q = Start(ActiveTotalQuota(1000.0, 300.0, 0.0, 31, {31, 4, 2026}));
    Feed(10.0);
    EXPECT_DOUBLE_EQ(q.Downloaded(), 310.0);
    localClock.SetDate({1, 5, 2026});
    Feed(12.0);  // the new period counts only what came after the last check
    EXPECT_DOUBLE_EQ(q.Downloaded(), 2.0);
    EXPECT_EQ(q.NextPeriod(), (LocalDate{31, 5, 2026}));
}

// A clock set years ahead by mistake rolls the period over; once it is put back, the next start
// is the next reset day again, what was counted meanwhile stays in the period, and every later
// reset day rolls over as usual.
TEST_F(TrafficQuotaTest, AClockSetForwardAndBackKeepsRollingOverOnTheResetDays) {
    struct Step {
        const char* what;
        LocalDate today;
        double session;  // MB downloaded in the session so far
        double counted;
        LocalDate next;
    };
    const Step steps[] = {
        {"running", {20, 3, 2027}, 10.0, 310.0, {15, 4, 2027}},
        {"set forward by mistake", {2, 1, 2030}, 20.0, 10.0, {15, 1, 2030}},
        {"put back", {20, 3, 2027}, 30.0, 20.0, {15, 4, 2027}},
        {"same day", {20, 3, 2027}, 35.0, 25.0, {15, 4, 2027}},
        {"first reset day", {15, 4, 2027}, 40.0, 5.0, {15, 5, 2027}},
        {"a day later", {16, 4, 2027}, 45.0, 10.0, {15, 5, 2027}},
        {"second reset day", {15, 5, 2027}, 50.0, 5.0, {15, 6, 2027}},
        {"third reset day", {15, 6, 2027}, 60.0, 10.0, {15, 7, 2027}},
    };
    localClock.SetDate(steps[0].today);
    CTrafficQuota& q = Start(ActiveTotalQuota(1000.0, 300.0, 0.0, 15, {15, 4, 2027}));
    for (const Step& step : steps) {
        localClock.SetDate(step.today);
        Feed(step.session);
        EXPECT_DOUBLE_EQ(q.Downloaded(), step.counted) << step.what;
        EXPECT_EQ(q.NextPeriod(), step.next) << step.what;
    }
}

// The counters clear on the first day of the new period, which for a reset day the month lacks
// is the first of the next month.
TEST(QuotaPeriod, APeriodBeginsOnTheResetDayOrOnTheFirstOfTheNextMonth) {
    const std::pair<LocalDate, LocalDate> cases[] = {
        {{15, 4, 2027}, {15, 4, 2027}}, {{30, 4, 2027}, {30, 4, 2027}},
        {{31, 4, 2027}, {1, 5, 2027}},  {{31, 11, 2027}, {1, 12, 2027}},
        {{29, 2, 2027}, {1, 3, 2027}},  {{31, 2, 2027}, {1, 3, 2027}},
        {{29, 2, 2028}, {29, 2, 2028}}, {{31, 12, 2027}, {31, 12, 2027}},
    };
    for (const auto& [start, begins] : cases) {
        EXPECT_EQ(PeriodBeginsOn(start), begins) << start;
    }
}

TEST_F(TrafficQuotaTest, ExceededOnlyPastALimitOfTheModeInUse) {
    struct Case {
        const char* name;
        QuotaValues file;
        bool exceeded;
    };
    QuotaValues inactive = ActiveTotal(100.0, 500.0);
    inactive.active = false;
    QuotaValues separateFileWithTotal = ActiveSeparate(500.0, 500.0, 100.0, 100.0);
    separateFileWithTotal.allowedTotal = 50.0;  // not used in this mode, whatever the file says
    const Case cases[] = {
        {"total exactly at the limit", ActiveTotal(1000.0, 600.0, 400.0), false},
        {"total just past", ActiveTotal(1000.0, 600.0, 400.5), true},
        {"no allowance at all", ActiveTotal(0.0, 0.001), true},
        {"inactive", inactive, false},
        {"download exactly at", ActiveSeparate(500.0, 100.0, 500.0, 100.0), false},
        {"download past", ActiveSeparate(500.0, 100.0, 500.5, 0.0), true},
        {"upload past", ActiveSeparate(500.0, 100.0, 0.0, 100.5), true},
        {"separate mode ignores the total limit", separateFileWithTotal, false},
        // A limit out of use (-1) is no limit, in whichever mode the file claims.
        {"total limit out of use", ActiveTotal(-1.0, 10.0), false},
        {"download limit out of use", ActiveSeparate(-1.0, 100.0, 10.0, 0.0), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Start(c.file).IsExceeded(), c.exceeded) << c.name;
    }
}

TEST_F(TrafficQuotaTest, WorksOnEveryThirdNotificationTheFirstIncluded) {
    CTrafficQuota& q = Start(ActiveTotal());
    struct Watcher : CObserver {
        void Update() override { ++told; }
        int told = 0;
    } watcher;
    q.Attach(watcher);
    const double totals[] = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0};
    const double counted[] = {1.0, 1.0, 1.0, 4.0, 4.0, 4.0, 7.0};
    for (int i = 0; i < 7; ++i) {
        history->Update(totals[i], 0.0);
        EXPECT_DOUBLE_EQ(q.Downloaded(), counted[i]) << "notification " << i + 1;
    }
    EXPECT_EQ(watcher.told, 3);
    q.Detach(watcher);

    // At shutdown the samples not yet worked on are counted too.
    history->Update(9.0, 1.0);
    q.CatchUp();
    EXPECT_DOUBLE_EQ(q.Downloaded(), 9.0);
    EXPECT_DOUBLE_EQ(q.Uploaded(), 1.0);
}

TEST_F(TrafficQuotaTest, CountsNothingWhileOffAndOnlyTrafficAfterActivation) {
    CTrafficQuota& q = Start(nullptr);  // a first run: off
    Feed(50.0, 5.0);
    Feed(80.0, 8.0);
    EXPECT_DOUBLE_EQ(q.Total(), 0.0);

    q.ClearCounters();
    q.Activate();
    q.SetLimitMode(true);
    q.SetAllowedTotal(100.0);
    q.SetResetDay(1);
    Feed(90.0, 10.0);  // 10 down and 2 up since activation
    EXPECT_DOUBLE_EQ(q.Downloaded(), 10.0);
    EXPECT_DOUBLE_EQ(q.Uploaded(), 2.0);
    EXPECT_DOUBLE_EQ(q.Total(), 12.0);

    // Off and on again in the same session: again only what follows.
    q.Deactivate();
    Feed(200.0, 20.0);
    q.Activate();
    q.SetLimitMode(true);
    q.SetAllowedTotal(100.0);
    Feed(201.0, 20.0);
    EXPECT_DOUBLE_EQ(q.Total(), 1.0);
}

TEST_F(TrafficQuotaTest, SavesEveryFiveMinutesAcrossTheClockWrap) {
    msClock.Set(0xFFFFFFFFu - 400000u);  // the clock wraps during the second period
    CTrafficQuota& q = Start(ActiveTotal(1.0e6));
    std::vector<std::uint32_t> saves;
    std::string last = QuotaFile();
    double download = 0.0;
    const std::uint32_t start = msClock.NowMs();
    for (int step = 0; step < 1300; ++step) {  // 21.7 minutes, a working update per second
        msClock.Advance(1000);
        download += 1.0;
        Feed(download);
        const std::string now = QuotaFile();
        if (now != last) {
            saves.push_back(MsElapsed(start, msClock.NowMs()));
            last = now;
        }
    }
    EXPECT_EQ(saves, (std::vector<std::uint32_t>{301000, 602000, 903000, 1204000}));
    EXPECT_GT(q.Downloaded(), 1204.0);
}

TEST_F(TrafficQuotaTest, AQuotaSwitchedOnAfterWeeksOfUptimeStillSavesEveryFiveMinutes) {
    CTrafficQuota& q = Start(nullptr);
    const std::string before = QuotaFile();
    for (int day = 0; day < 30; ++day) {  // off for 30 days: past half the clock's range
        msClock.Advance(24u * 3600u * 1000u);
        Feed(day);
    }
    q.ClearCounters();
    q.Activate();
    q.SetLimitMode(true);
    q.SetAllowedTotal(2048.0);
    q.SetResetDay(7);
    int firstSave = -1;
    for (int second = 1; second <= 400 && firstSave < 0; ++second) {
        msClock.Advance(1000);
        Feed(30.0 + second);
        if (QuotaFile() != before) {
            firstSave = second;
        }
    }
    EXPECT_EQ(firstSave, 301);
    EXPECT_NE(QuotaFile().find("\n2048.000000\n"), std::string::npos);
}

TEST_F(TrafficQuotaTest, SwitchingOffForgetsLimitsCountersAndPeriodButNotTheResetDay) {
    CTrafficQuota& q = Start(ActiveTotal(1000.0, 2000.0));
    EXPECT_TRUE(q.IsExceeded());
    q.Deactivate();
    EXPECT_FALSE(q.IsExceeded());
    ASSERT_TRUE(q.Save());
    EXPECT_EQ(QuotaFile(),
              "V1.0.0\n7\n0\n0\n0\n-1.000000\n-1.000000\n-1.000000\n0.000000\n0.000000\n0\n0\n");

    // Clearing the counters is not a save.
    CTrafficQuota& again = Start(ActiveTotal(1000.0, 2000.0));
    const std::string saved = QuotaFile();
    again.ClearCounters();
    EXPECT_FALSE(again.IsExceeded());
    EXPECT_EQ(QuotaFile(), saved);
}

TEST_F(TrafficQuotaTest, TellsEachLimitPassedOncePerPeriodAndNotAgainAfterARestart) {
    std::string notice;
    CTrafficQuota& q = Start(ActiveTotal(10.0, 9.0));
    Feed(0.5);
    EXPECT_FALSE(q.TakeNotice(notice));
    Feed(2.0);
    ASSERT_TRUE(q.TakeNotice(notice));
    EXPECT_EQ(notice, "Total traffic has passed its limit of 10 MB: 11.0 MB used.");
    EXPECT_FALSE(q.TakeNotice(notice));  // taken
    Feed(3.0);
    EXPECT_FALSE(q.TakeNotice(notice));  // still past: nothing new

    ASSERT_TRUE(q.Save());
    Start(nullptr);  // a restart with the quota already past its limit
    Feed(1.0);
    EXPECT_TRUE(quota->IsExceeded());
    EXPECT_FALSE(quota->TakeNotice(notice));

    localClock.SetDate({7, 1, 2027});  // a new period: passing again is news
    Feed(5.0);
    EXPECT_FALSE(quota->TakeNotice(notice));
    Feed(12.0);
    ASSERT_TRUE(quota->TakeNotice(notice));
    EXPECT_EQ(notice, "Total traffic has passed its limit of 10 MB: 11.0 MB used.");
}

TEST_F(TrafficQuotaTest, SeparateLimitsAreToldEachAsTheyArePassed) {
    std::string notice;
    CTrafficQuota& q = Start(ActiveSeparate(2048.0, 100.0, 2040.0, 0.0));
    Feed(10.0, 1.0);
    ASSERT_TRUE(q.TakeNotice(notice));
    EXPECT_EQ(notice, "Download has passed its limit of 2 GB: 2.0 GB used.");
    Feed(20.0, 150.0);
    ASSERT_TRUE(q.TakeNotice(notice));
    EXPECT_EQ(notice, "Upload has passed its limit of 100 MB: 150.0 MB used.");
}

TEST_F(TrafficQuotaTest, AnUnreadableFileIsNeverOverwrittenAndADamagedOneIsKeptAside) {
    const std::string path = folder.DataFilePath("capwarden.dat");
    std::filesystem::create_directories(path);
    CTrafficQuota& unreadable = Start(nullptr);
    EXPECT_FALSE(unreadable.Save());
    EXPECT_TRUE(std::filesystem::is_directory(path));
    std::filesystem::remove(path);
    EXPECT_TRUE(unreadable.Save());  // gone meanwhile: nothing left to lose

    const std::string damaged = "V1.0.0\n7\nseven\n";
    ASSERT_TRUE(WriteFileAtomically(path, damaged));
    CTrafficQuota& q = Start(nullptr);
    EXPECT_EQ(q.ResetDay(), 7);
    ASSERT_TRUE(q.Save());
    std::string kept;
    ASSERT_TRUE(ReadTextFile(folder.DataFilePath("capwarden.dat.bad"), kept));
    EXPECT_EQ(kept, damaged);

    // A later damaged file does not replace the first keepsake.
    ASSERT_TRUE(WriteFileAtomically(path, "V1.0.0\nbad\n"));
    ASSERT_TRUE(Start(nullptr).Save());
    ASSERT_TRUE(ReadTextFile(folder.DataFilePath("capwarden.dat.bad"), kept));
    EXPECT_EQ(kept, damaged);
}

}  // namespace
