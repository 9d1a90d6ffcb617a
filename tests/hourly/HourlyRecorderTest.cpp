#include "hourly/CHourlyRecorder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "FakeClocks.h"
#include "FakeInterfaceSource.h"
#include "TempDir.h"

TEST(HourlyRecorder, AtEverySaveTheMonitoredHoursAddUpToTheDaysFigures) {
    constexpr std::int64_t kDecember7At10 = 1796637600;  // as FakeLocalClock starts, in UTC
    TempDir temp;
    const CDataFolder folder(temp.Str(), "/opt/");
    FakeInterfaceSource source(64);
    source.SetListsLoopback(true);
    source.AddAdapter(1, "eth0");
    source.AddAdapter(2, "wlan0");
    source.AddAdapter(3, "veth9");
    FakeMsClock ms;
    FakeLocalClock local;
    FakeUtcClock utc(kDecember7At10);
    const FakeLocalZone zone(0);

    CHourlyStore store(folder, zone);
    ASSERT_EQ(store.Open(utc.NowUtc()), CHourlyStore::OpenOutcome::Created);
    CHourlyRecorder recorder(zone, utc, store);
    CTrafficSampler sampler(source, ms);
    sampler.Deselect("veth*");
    sampler.SetDeltaSink(&recorder);
    CTrafficHistory history(folder, ms, local);
    history.SetSaveCompanion(&recorder);

    // Three hours of samples every ten minutes; the history saves on its own period too.
    double down = 0;
    double up = 0;
    for (int step = 0; step < 18; ++step) {
        source.AddTraffic(1, 1'000'003 * step, 70'001);
        source.AddTraffic(2, 333, 17 * step);
        source.AddTraffic(3, 5'000'000, 5'000'000);  // carried by eth0 too
        ms.Advance(600'000);
        utc.Advance(600);
        local.SetTime(10 + (step + 1) / 6, (step + 1) % 6 * 10);
        sampler.Sample(down, up);
        sampler.Totals(down, up);
        history.Update(down, up);
    }
    ASSERT_TRUE(history.Save());
    EXPECT_TRUE(recorder.Tally().Empty());

    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    for (const HourTotal& hour : store.HoursOfDay(CHourlyStore::kAllMonitored, local.Today())) {
        received += hour.received;
        sent += hour.sent;
    }
    EXPECT_NEAR(static_cast<double>(received) / 1048576.0, history.CurrentDay().downloaded, 1e-9);
    EXPECT_NEAR(static_cast<double>(sent) / 1048576.0, history.CurrentDay().uploaded, 1e-9);
    // The excluded interface is kept, apart.
    const std::vector<DayTotal> veth = store.DayTotals("veth9", local.Today(), local.Today());
    ASSERT_EQ(veth.size(), 1u);
    EXPECT_EQ(veth[0].received, 17u * 5'000'000u);  // the first walk only meets it
    EXPECT_EQ(store.HoursOfDay("eth0", local.Today())[10].received, 1'000'003u * (1 + 2 + 3 + 4));
}
