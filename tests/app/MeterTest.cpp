// The meter's data without any window: one way in for a sample, and news from the upload's
// thread handed to the meter's own thread.
#include <gtest/gtest.h>

#include <filesystem>
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
#include "persistence/CTrafficHistory.h"
#include "sampling/CTrafficSampler.h"
#include "webstats/CWebStats.h"

namespace {

class MeterTest : public ::testing::Test {
protected:
    MeterTest() { source_.AddAdapter(1, "eth0"); }

    TempDir dir_;
    FakeMsClock msClock_{1000};
    FakeLocalClock localClock_;
    FakeInterfaceSource source_{64};
    CTrafficSampler sampler_{source_, msClock_};
    FakeLocaleTexts texts_;
    std::vector<std::function<void()>> posted_;
    CMeter meter_{{sampler_, msClock_, localClock_, texts_,
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

}  // namespace
