#include "webstats/CWebStats.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <thread>

#include "FakeClocks.h"
#include "TempDir.h"
#include "persistence/DataFile.h"

namespace {

constexpr std::uint32_t kSecond = 1000;

class WebStatsModelTest : public ::testing::Test {
protected:
    void Seed(const std::string& text) {
        ASSERT_TRUE(WriteFileAtomically(folder.DataFilePath("webstats.dat"), text));
    }

    std::unique_ptr<CWebStats> Make() {
        return std::make_unique<CWebStats>(folder, msClock, localClock);
    }

    // An enabled model with a 30 s interval.
    std::unique_ptr<CWebStats> MakeEnabled() {
        Seed("V1.0.0\nftp.example.com\n/stats/\nindex.html\nme\npw\n21\n30000\n1\n");
        return Make();
    }

    TempDir temp;
    CDataFolder folder{temp.Str(), temp.Str()};
    FakeMsClock msClock{5000};
    FakeLocalClock localClock{{7, 12, 2026}, 10, 2};
};

TEST_F(WebStatsModelTest, SettingsAreReadTrimmedButThePasswordStaysAsTyped) {
    Seed(
        "V1.0.0\r\n  ftp.example.com \r\n\t/stats/ \r\nindex.html  \r\n me\r\n  pass word  \r\n"
        "2121\r\n600000\r\n1\r\n");
    const WebStatsValues values = Make()->Settings();
    EXPECT_EQ(values.hostName, "ftp.example.com");
    EXPECT_EQ(values.remotePath, "/stats/");
    EXPECT_EQ(values.pageFileName, "index.html");
    EXPECT_EQ(values.userName, "me");
    EXPECT_EQ(values.password, "  pass word  ");
    EXPECT_EQ(values.port, 2121);
    EXPECT_EQ(values.uploadInterval, 600000);
    EXPECT_TRUE(values.enabled);
}

TEST_F(WebStatsModelTest, FirstRunUploadsEveryFiveMinutesAndTheNextStartEveryThirtySeconds) {
    EXPECT_EQ(Make()->Settings().uploadInterval, 300000);
    EXPECT_EQ(Make()->Settings().uploadInterval, 30000);
}

// Samples once a second with downloaded = t^2 / 1000 MB (t in seconds), so every reference
// sample gives a different average.
void FeedQuadratic(CWebStats& model, FakeMsClock& clock, int seconds) {
    for (int t = 0; t <= seconds; ++t) {
        if (t > 0) {
            clock.Advance(kSecond);
        }
        model.AddSample(t * t / 1000.0, t / 2.0);
    }
}

TEST_F(WebStatsModelTest, AveragesAndAmountsAreTheSameAcrossAWrapOfTheMillisecondClock) {
    // The clock wraps 200 s into the samples in the second case.
    for (const std::uint32_t start : {5000u, 0xFFFFFFFFu - 400 * kSecond}) {
        SCOPED_TRACE(start);
        msClock.Set(start);
        auto model = Make();
        FeedQuadratic(*model, msClock, 600);
        // Five minutes: the reference is the sample taken 299 s ago (the one 300 s ago is not
        // later than the window's start).
        const TrafficPair five = model->AverageSpeed(CWebStats::kFiveMinutesMs);
        EXPECT_NEAR(five.download, (600.0 * 600 - 301.0 * 301) / 1000.0 / 299.0, 1e-9);
        EXPECT_NEAR(five.upload, 0.5, 1e-9);
        // The hour: all samples count.
        const TrafficPair hour = model->AverageSpeed(CWebStats::kHourMs);
        EXPECT_NEAR(hour.download, 360.0 / 600.0, 1e-9);
        EXPECT_EQ(model->LastHourAmounts(), (TrafficPair{360.0, 300.0}));
        // The history's session totals over the time since the model was made.
        const TrafficPair session = model->SessionAverage();
        EXPECT_NEAR(session.download, 0.6, 1e-9);
        EXPECT_NEAR(session.upload, 0.5, 1e-9);
    }
}

TEST_F(WebStatsModelTest, TheWindowKeepsOnlyTheLastHour) {
    auto model = Make();
    for (int t = 0; t <= 70 * 60; ++t) {
        if (t > 0) {
            msClock.Advance(kSecond);
        }
        model->AddSample(t * 1.0, 0.0);
    }
    // Kept: samples at most an hour older than the newest, t = 600 ... 4200.
    EXPECT_EQ(model->LastHourAmounts(), (TrafficPair{3600.0, 0.0}));
    EXPECT_NEAR(model->AverageSpeed(CWebStats::kHourMs).download, 1.0, 1e-12);
}

TEST_F(WebStatsModelTest, OneSampleOrNoTimeGivesZeroNotNonsense) {
    auto model = Make();
    EXPECT_EQ(model->SessionAverage(), TrafficPair{});  // no time has passed: no division by 0
    model->AddSample(10.0, 5.0);
    EXPECT_EQ(model->LastHourAmounts(), TrafficPair{});
    EXPECT_EQ(model->AverageSpeed(CWebStats::kHourMs), TrafficPair{});
    EXPECT_EQ(model->AverageSpeed(CWebStats::kFiveMinutesMs), TrafficPair{});
    msClock.Advance(100 * kSecond);
    EXPECT_EQ(model->SessionAverage(), (TrafficPair{0.1, 0.05}));
    // Ten minutes without samples: nothing lies in the last five minutes but the newest.
    model->AddSample(20.0, 5.0);
    msClock.Advance(600 * kSecond);
    EXPECT_EQ(model->AverageSpeed(CWebStats::kFiveMinutesMs), TrafficPair{});
}

TEST_F(WebStatsModelTest, SamplesFeedTheQuarterTableAtItsBoundaries) {
    auto model = Make();  // made at 10:02
    model->AddSample(1.0, 0.5);
    localClock.SetTime(10, 15);
    model->AddSample(3.0, 1.0);
    EXPECT_EQ(model->QuarterAmount(10, 1), (QuarterAmount{3.0, 1.0}));
    EXPECT_EQ(model->Figures().quarters[10][0], (QuarterAmount{3.0, 1.0}));
    EXPECT_EQ(model->QuarterAmount(10, 2), QuarterAmount{});
}

// Runs `seconds` of one sample a second and counts the uploads that get the go-ahead; each
// finishes at once unless `finishAfter` seconds are given.
int CountUploads(CWebStats& model, FakeMsClock& clock, int seconds, int finishAfter = 0) {
    int started = 0;
    std::optional<UploadTicket> running;
    int runningFor = 0;
    for (int s = 0; s < seconds; ++s) {
        clock.Advance(kSecond);
        if (running && ++runningFor >= finishAfter) {
            model.FinishUpload(*running, false, "");
            running.reset();
        }
        if (model.AddSample(0.0, 0.0)) {
            if (auto ticket = model.BeginUpload()) {
                ++started;
                running = ticket;
                runningFor = 0;
            }
        }
    }
    return started;
}

TEST_F(WebStatsModelTest, OneUploadPerIntervalAlsoAcrossTheClockWrap) {
    for (const std::uint32_t start : {5000u, 0xFFFFFFFFu - 45 * kSecond}) {
        SCOPED_TRACE(start);
        msClock.Set(start);
        auto model = MakeEnabled();
        // Due strictly after 30 s: at 31, 62, 93 s.
        EXPECT_EQ(CountUploads(*model, msClock, 100), 3);
    }
}

TEST_F(WebStatsModelTest, AnAttemptWhileOneRunsMovesTheNextOneAnIntervalOn) {
    auto model = MakeEnabled();
    // Each upload takes 45 s: the go-ahead at 31 s, the attempt at 62 s finds it running, the
    // next comes at 93 s, then 124 s finds it running again.
    EXPECT_EQ(CountUploads(*model, msClock, 130, 45), 2);
}

TEST_F(WebStatsModelTest, NothingStartsWhileSwitchedOffAndTheFirstAttemptAfterSwitchingOnDoes) {
    auto model = MakeEnabled();
    model->SetEnabled(false);
    EXPECT_EQ(CountUploads(*model, msClock, 100), 0);
    model->SetEnabled(true);
    EXPECT_EQ(CountUploads(*model, msClock, 1), 1);
}

TEST_F(WebStatsModelTest, PicturesCountAsUploadedOnlyForTheLocationTheyWentTo) {
    auto model = MakeEnabled();
    msClock.Advance(31 * kSecond);
    auto ticket = model->BeginUpload();
    ASSERT_TRUE(ticket);
    EXPECT_TRUE(ticket->sendImages);
    EXPECT_TRUE(model->UploadBusy());
    model->FinishUpload(*ticket, true, "x");
    EXPECT_TRUE(model->ImagesUploaded());
    EXPECT_FALSE(model->UploadBusy());

    struct Change {
        const char* name;
        void (*apply)(CWebStats&);
        bool clears;
    };
    const Change changes[] = {
        {"interval", [](CWebStats& m) { m.SetUploadInterval(60000); }, false},
        {"file name", [](CWebStats& m) { m.SetPageFileName("a.html"); }, false},
        {"user", [](CWebStats& m) { m.SetUserName("u"); }, false},
        {"password", [](CWebStats& m) { m.SetPassword("p"); }, false},
        {"port", [](CWebStats& m) { m.SetPort(2121); }, false},
        {"remote path", [](CWebStats& m) { m.SetRemotePath("/other/"); }, true},
        {"host", [](CWebStats& m) { m.SetHostName("other.example.com"); }, true},
    };
    for (const Change& change : changes) {
        msClock.Advance(61 * kSecond);
        ticket = model->BeginUpload();
        ASSERT_TRUE(ticket);
        model->FinishUpload(*ticket, true, "x");
        ASSERT_TRUE(model->ImagesUploaded());
        change.apply(*model);
        EXPECT_EQ(model->ImagesUploaded(), !change.clears) << change.name;
    }

    // A change while an upload is under way: its pictures went to the old place.
    msClock.Advance(61 * kSecond);
    ticket = model->BeginUpload();
    ASSERT_TRUE(ticket);
    model->SetRemotePath("/moved/");
    model->FinishUpload(*ticket, true, "x");
    EXPECT_FALSE(model->ImagesUploaded());
}

TEST_F(WebStatsModelTest, TheLogKeepsTheLastTwentyLinesAndCountsThemAll) {
    auto model = Make();
    int heard = 0;
    model->SetLogListener([&] { ++heard; });
    for (int i = 1; i <= 21; ++i) {
        model->AppendLog("line " + std::to_string(i));
    }
    std::uint64_t added = 0;
    const auto lines = model->CopyLog(&added);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines.front(), "line 2");
    EXPECT_EQ(lines.back(), "line 21");
    EXPECT_EQ(added, 21u);
    EXPECT_EQ(heard, 21);
}

TEST_F(WebStatsModelTest, NoLineIsLostWhileTheLogIsCopiedOnAnotherThread) {
    auto model = Make();
    std::atomic<int> heard = 0;
    model->SetLogListener([&] { ++heard; });
    constexpr int kLines = 2000;
    std::thread writer([&] {
        for (int i = 1; i <= kLines; ++i) {
            model->AppendLog(std::to_string(i));
        }
    });
    std::uint64_t added = 0;
    while (added < kLines) {
        const auto lines = model->CopyLog(&added);
        // Whatever moment the copy caught, it is the newest lines in order.
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i], std::to_string(added - lines.size() + 1 + i));
        }
    }
    writer.join();
    EXPECT_EQ(heard.load(), kLines);
}

}  // namespace
