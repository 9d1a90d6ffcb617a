// The meter's data without any window: one way in for a sample, and news from the upload's
// thread handed to the meter's own thread.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "FakeClocks.h"
#include "FakeInterfaceSource.h"
#include "FakeLocaleTexts.h"
#include "TempDir.h"
#include "app/CMeter.h"
#include "core/CObservable.h"
#include "graph/CSampleList.h"
#include "hourly/CHourlyStore.h"
#include "persistence/CTrafficHistory.h"
#include "sampling/CTrafficSampler.h"
#include "webstats/CWebStats.h"

namespace {

constexpr std::int64_t kDecember7At10 = 1796637600;  // as FakeLocalClock starts, in UTC

class MeterTest : public ::testing::Test {
protected:
    MeterTest() { source_.AddAdapter(1, "eth0"); }

    TempDir dir_;
    FakeMsClock msClock_{1000};
    FakeLocalClock localClock_;
    FakeLocalZone zone_;
    FakeUtcClock utcClock_{kDecember7At10};
    FakeInterfaceSource source_{64};
    CTrafficSampler sampler_{source_, msClock_};
    FakeLocaleTexts texts_;
    std::vector<std::function<void()>> posted_;
    CMeter meter_{{sampler_, msClock_, localClock_, zone_, utcClock_, texts_,
                   [this](std::function<void()> task) { posted_.push_back(std::move(task)); }},
                  CDataFolder(dir_.Str(), dir_.Str())};
};

struct CountingObserver final : CObserver {
    void Update() override { ++updates; }
    int updates = 0;
};

TEST_F(MeterTest, SamplesFeedGraphAndHistoryWhileTheLastSaveFeedsOnlyTheHistory) {
    meter_.TakeSample();  // the first sample meets the interface
    source_.AddTraffic(1, 1048576, 0);
    msClock_.Advance(1000);
    meter_.TakeSample();
    EXPECT_EQ(meter_.Samples().Count(), 2);
    EXPECT_NEAR(meter_.DownloadRate(), 1024.0, 1e-6);
    EXPECT_NEAR(meter_.History().CurrentDay().downloaded, 1.0, 1e-9);

    source_.AddTraffic(1, 1048576, 0);
    msClock_.Advance(1000);
    meter_.SaveDataFiles();
    EXPECT_EQ(meter_.Samples().Count(), 2);
    EXPECT_NEAR(meter_.History().CurrentDay().downloaded, 2.0, 1e-9);
    EXPECT_TRUE(std::filesystem::exists(dir_.Path() / CTrafficHistory::kFileName));
}

TEST_F(MeterTest, TheUploadThreadsLogLinesReachObserversOnlyThroughThePost) {
    CountingObserver observer;
    CScopedObservation observation(meter_.WebStats(), observer);
    std::thread upload([this] { meter_.WebStats().AppendLog("Upload done"); });
    upload.join();
    EXPECT_EQ(observer.updates, 0);
    ASSERT_EQ(posted_.size(), 1u);
    posted_.front()();
    EXPECT_EQ(observer.updates, 1);
}

// Whatever the hourly store's file was like at the start, the day history is saved as before;
// with a store, the monitored hours add up to the day's figures.
TEST(MeterHourly, TheMonitoredHoursAddUpToTheDayWhateverTheStoreWasAtTheStart) {
    const struct {
        const char* name;
        const char* garbage;  // written as the store's file first; null for no file
        bool folderInstead;   // a folder where the file should be: the store cannot open
        CHourlyStore::OpenOutcome outcome;
        // Killed after the hours were saved, before "stats.dat" was: the day file of the
        // previous save is put back, and the next start must catch up with the hours.
        bool killedBetween = false;
    } kCases[] = {
        {"no file yet", nullptr, false, CHourlyStore::OpenOutcome::Created},
        {"a damaged file", "not a database, only some bytes", false,
         CHourlyStore::OpenOutcome::MovedAside},
        {"a file that cannot be opened", nullptr, true, CHourlyStore::OpenOutcome::Failed},
        {"killed between the two files", nullptr, false, CHourlyStore::OpenOutcome::Created, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::filesystem::path file = dir.Path() / CHourlyStore::kFileName;
        if (c.garbage != nullptr) {
            std::ofstream(file) << c.garbage;
        }
        if (c.folderInstead) {
            std::filesystem::create_directory(file);
        }
        FakeMsClock msClock(1000);
        FakeLocalClock localClock;
        const FakeLocalZone zone;
        FakeUtcClock utcClock(kDecember7At10);
        FakeInterfaceSource source(64);
        source.AddAdapter(1, "eth0");
        source.AddAdapter(2, "veth1");
        CTrafficSampler sampler(source, msClock);
        sampler.Deselect("veth1");
        const FakeLocaleTexts texts;
        double down = 0;
        double up = 0;
        {
            CMeter meter({sampler, msClock, localClock, zone, utcClock, texts, [](auto) {}},
                         CDataFolder(dir.Str(), dir.Str()));
            EXPECT_EQ(meter.HourlyStore().Outcome(), c.outcome);
            // Two and a half hours of samples every quarter of an hour.
            for (int step = 0; step < 10; ++step) {
                source.AddTraffic(1, 1'000'003 * step + 7, 65'537);
                source.AddTraffic(2, 4'000'000, 4'000'000);
                msClock.Advance(900'000);
                utcClock.Advance(900);
                meter.TakeSample();
            }
            const std::filesystem::path dayFile = dir.Path() / CTrafficHistory::kFileName;
            std::filesystem::copy_file(dayFile, dir.Path() / "stale");
            source.AddTraffic(1, 3'000'000, 1'000'000);  // taken in by the last save's sample
            meter.SaveDataFiles();
            down = meter.History().CurrentDay().downloaded;
            up = meter.History().CurrentDay().uploaded;
            if (c.killedBetween) {
                std::filesystem::rename(dir.Path() / "stale", dayFile);
            }
        }
        if (c.killedBetween) {
            CMeter next({sampler, msClock, localClock, zone, utcClock, texts, [](auto) {}},
                        CDataFolder(dir.Str(), dir.Str()));
            // Within the day file's last decimal.
            EXPECT_NEAR(next.History().CurrentDay().downloaded, down, 1e-6);
            EXPECT_NEAR(next.History().CurrentDay().uploaded, up, 1e-6);
            next.SaveDataFiles();
        }
        source.AddTraffic(1, 5, 5);
        double rate = 0;
        sampler.Sample(rate, rate);  // the sampler outlives the meter: nothing of it is told
        EXPECT_GT(down, 0.0);
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / CTrafficHistory::kFileName));
        if (c.folderInstead) {
            continue;
        }
        CHourlyStore store(CDataFolder(dir.Str(), dir.Str()), zone);
        ASSERT_EQ(store.Open(utcClock.NowUtc()), CHourlyStore::OpenOutcome::Opened);
        std::uint64_t received = 0;
        std::uint64_t sent = 0;
        for (const HourTotal& hour :
             store.HoursOfDay(CHourlyStore::kAllMonitored, localClock.Today())) {
            received += hour.received;
            sent += hour.sent;
        }
        EXPECT_NEAR(static_cast<double>(received) / 1048576.0, down, 1e-9);
        EXPECT_NEAR(static_cast<double>(sent) / 1048576.0, up, 1e-9);
    }
}

}  // namespace
