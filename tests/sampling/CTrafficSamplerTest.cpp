#include "sampling/CTrafficSampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FakeClocks.h"
#include "FakeInterfaceSource.h"

namespace {

using Names = std::vector<std::string>;

constexpr std::uint64_t kMiB = 1048576;
constexpr std::uint64_t kGiB = 1024 * kMiB;

class CountingObserver : public CObserver {
public:
    void Update() override { ++calls; }
    int calls = 0;
};

struct Walked {
    std::uint64_t in = 0;
    std::uint64_t out = 0;
};

Walked WalkOnce(CTrafficSampler& sampler) {
    Walked w;
    sampler.Walk(w.in, w.out);
    return w;
}

class SamplerTest : public ::testing::Test {
protected:
    explicit SamplerTest(unsigned bits = 32) : source(bits), sampler(source, clock) {
        sampler.Attach(observer);
    }
    ~SamplerTest() override { sampler.Detach(observer); }

    // Notifications caused by one walk.
    int NotificationsOfWalk() {
        const int before = observer.calls;
        WalkOnce(sampler);
        return observer.calls - before;
    }

    struct Pair {
        double down = 0;
        double up = 0;
    };
    Pair Sample() {
        Pair rates;
        sampler.Sample(rates.down, rates.up);
        return rates;
    }
    Pair Totals() const {
        Pair totals;
        sampler.Totals(totals.down, totals.up);
        return totals;
    }

    FakeInterfaceSource source;
    FakeMsClock clock;
    CTrafficSampler sampler;
    CountingObserver observer;
};

class WideSamplerTest : public SamplerTest {
protected:
    WideSamplerTest() : SamplerTest(64) {}
};

TEST_F(SamplerTest, VisitsTheTableCountLessAnUnlistedLoopbackAndNoMoreThanTheList) {
    source.AddAdapter(1, "a");
    source.AddAdapter(2, "b");
    source.AddAdapter(3, "c");

    WalkOnce(sampler);  // table of 4 entries, 3 adapters and loopback: all adapters visited
    EXPECT_EQ(source.EntryLog(), (std::vector<std::uint32_t>{1, 2, 3}));

    struct Case {
        bool listsLoopback;
        std::uint32_t count;
        std::vector<std::uint32_t> visited;
    };
    const Case cases[] = {
        // Loopback outside the list: the table has one entry the walk cannot visit.
        {false, 3, {1, 2}},
        {false, 1, {}},
        {false, 0, {}},
        {false, 100, {1, 2, 3}},
        // Loopback among the adapters: the table count is the list's size.
        {true, 3, {1, 2, 3}},
        {true, 1, {1}},
        {true, 0, {}},
        {true, 100, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        source.SetListsLoopback(c.listsLoopback);
        source.SetTableCount(c.count);
        source.ClearLog();
        WalkOnce(sampler);
        EXPECT_EQ(source.EntryLog(), c.visited)
            << "table count " << c.count << (c.listsLoopback ? ", loopback listed" : "");
    }
}

TEST_F(SamplerTest, NewAdapterIsListedTwiceAndNotifiesInTwoWalks) {
    source.AddAdapter(1, "eth0", 1000, 2000);
    source.AddAdapter(2, "lo", 50, 50);
    EXPECT_EQ(NotificationsOfWalk(), 1);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "eth0", "lo", "lo"}));
    EXPECT_EQ(NotificationsOfWalk(), 1);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "lo"}));
    EXPECT_EQ(NotificationsOfWalk(), 0);

    // Bytes it carried before it was met are never counted.
    source.AddAdapter(7, "wlan0", 900000, 900000);
    source.AddTraffic(1, 10, 20);
    const Walked w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 10u);
    EXPECT_EQ(w.out, 20u);
    EXPECT_EQ(observer.calls, 3);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "lo", "wlan0", "wlan0"}));
    EXPECT_EQ(NotificationsOfWalk(), 1);
    EXPECT_EQ(NotificationsOfWalk(), 0);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "lo", "wlan0"}));
}

TEST_F(SamplerTest, VanishingAndReturningAdapters) {
    source.AddAdapter(1, "eth0");
    source.AddAdapter(2, "lo");
    source.AddAdapter(3, "tun0");
    WalkOnce(sampler);
    WalkOnce(sampler);

    source.RemoveAdapter(3);
    EXPECT_EQ(NotificationsOfWalk(), 1);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "lo"}));
    EXPECT_EQ(NotificationsOfWalk(), 0);

    // One comes up while another goes: the counts match, so the news comes one walk later,
    // when the new record's second entry leaves.
    source.RemoveAdapter(2);
    source.AddAdapter(3, "tun0", 5000, 5000);
    EXPECT_EQ(NotificationsOfWalk(), 0);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "tun0", "tun0"}));
    EXPECT_EQ(NotificationsOfWalk(), 1);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "tun0"}));

    // A returning interface starts from its counters again: nothing from its absence counts.
    source.RemoveAdapter(3);
    WalkOnce(sampler);
    source.AddAdapter(3, "tun0", 999999, 999999);
    EXPECT_EQ(WalkOnce(sampler).in, 0u);
    source.AddTraffic(3, 5, 0);
    EXPECT_EQ(WalkOnce(sampler).in, 5u);
}

TEST_F(SamplerTest, RecordsAreKeyedByDescriptionNotIndex) {
    source.AddAdapter(4, "eth0", 100, 100);
    WalkOnce(sampler);
    WalkOnce(sampler);
    // The same interface under a new index keeps its record and its counters.
    source.RemoveAdapter(4);
    source.AddAdapter(9, "eth0", 160, 130);
    Walked w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 60u);
    EXPECT_EQ(w.out, 30u);
    EXPECT_EQ(observer.calls, 2);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0"}));

    // Descriptions compare with case.
    source.AddAdapter(10, "ETH0", 7, 7);
    source.AddTraffic(9, 1, 1);
    w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 1u);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "ETH0", "ETH0"}));
}

TEST_F(SamplerTest, SelectionFollowsTheExcludedList) {
    sampler.Deselect("vpn0");
    sampler.Deselect("vpn0");
    EXPECT_EQ(sampler.ExcludedDescriptions(), (Names{"vpn0"}));
    EXPECT_FALSE(sampler.IsMonitored("vpn0"));
    EXPECT_TRUE(sampler.IsMonitored("eth0"));

    // Excluded before it ever came up: created unmonitored, and its traffic never counts.
    source.AddAdapter(1, "eth0");
    source.AddAdapter(2, "vpn0");
    WalkOnce(sampler);
    source.AddTraffic(2, 4000, 4000);
    EXPECT_EQ(WalkOnce(sampler).in, 0u);
    source.SetCounters(2, 10, 10);  // even going down
    EXPECT_EQ(WalkOnce(sampler).in, 0u);

    // Selected again: it counts from the counters of the last walk on.
    sampler.Select("vpn0");
    EXPECT_TRUE(sampler.ExcludedDescriptions().empty());
    source.AddTraffic(2, 30, 40);
    const Walked w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 30u);
    EXPECT_EQ(w.out, 40u);

    sampler.Deselect("eth0");
    source.AddTraffic(1, 30, 40);
    EXPECT_EQ(WalkOnce(sampler).in, 0u);

    // Selecting an interface with no record touches only the list.
    sampler.Deselect("wlan0");
    sampler.Select("wlan0");
    EXPECT_EQ(sampler.ExcludedDescriptions(), (Names{"eth0"}));
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0", "vpn0"}));
}

TEST_F(SamplerTest, PatternsExcludeEveryMatchingInterfaceUntilOneIsTicked) {
    // As a new settings file lists them: container plumbing by pattern.
    for (const char* entry : {"lo", "veth*", "docker*"}) {
        sampler.Deselect(entry);
    }
    struct Row {
        const char* name;
        const char* description;
        bool monitored;
    } const rows[] = {
        {"random veth suffix", "veth3f2a1b", false},
        {"docker bridge", "docker0", false},
        {"loopback, exact", "lo", false},
        {"only the start matches", "myveth0", true},
        {"a real interface", "eth0", true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(sampler.IsMonitored(row.description), row.monitored) << row.name;
    }

    // The user ticks one: only that one comes back, and the list keeps saying so.
    sampler.Select("veth3f2a1b");
    EXPECT_TRUE(sampler.IsMonitored("veth3f2a1b"));
    EXPECT_FALSE(sampler.IsMonitored("veth9"));
    EXPECT_EQ(sampler.ExcludedDescriptions(), (Names{"lo", "veth*", "docker*", "!veth3f2a1b"}));
    sampler.Deselect("veth3f2a1b");
    EXPECT_FALSE(sampler.IsMonitored("veth3f2a1b"));
    EXPECT_EQ(sampler.ExcludedDescriptions(), (Names{"lo", "veth*", "docker*"}));
}

TEST_F(SamplerTest, FailuresGiveZeroTrafficAndNoJumpAfterwards) {
    source.AddAdapter(1, "eth0", 100, 100);
    source.AddAdapter(2, "wlan0", 100, 100);
    WalkOnce(sampler);
    WalkOnce(sampler);

    // One adapter that cannot be read is left out and its record dropped.
    source.SetEntryFails(2, true);
    source.AddTraffic(1, 1, 1);
    source.AddTraffic(2, 5000, 5000);
    const int before = observer.calls;
    Walked w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 1u);
    EXPECT_EQ(observer.calls, before + 1);
    EXPECT_EQ(sampler.InterfaceNames(), (Names{"eth0"}));
    source.SetEntryFails(2, false);
    source.AddTraffic(2, 5000, 5000);
    EXPECT_EQ(WalkOnce(sampler).in, 0u);

    // No interface table: nothing visited, every record dropped and made again later.
    WalkOnce(sampler);
    source.SetTableFails(true);
    source.AddTraffic(1, 7, 7);
    source.ClearLog();
    EXPECT_EQ(NotificationsOfWalk(), 1);
    EXPECT_TRUE(source.EntryLog().empty());
    EXPECT_TRUE(sampler.InterfaceNames().empty());
    source.SetTableFails(false);
    w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 0u);
    EXPECT_EQ(w.out, 0u);
    EXPECT_EQ(sampler.InterfaceNames().size(), 4u);
}

TEST_F(SamplerTest, NarrowCountersWrapWithTheirTrueDelta) {
    source.AddAdapter(1, "eth0", 4294967000u, 4294967295u);
    source.AddAdapter(2, "eth1", 4294967290u, 0);
    WalkOnce(sampler);
    source.SetCounters(1, 500, 0);
    source.SetCounters(2, 10, 3);
    const Walked w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 796u + 16u);
    EXPECT_EQ(w.out, 1u + 3u);
}

TEST_F(WideSamplerTest, WideCountersCountBeyond4GiBAndTreatADropAsAReset) {
    source.AddAdapter(1, "eth0", 3 * kGiB, 0);
    source.AddAdapter(2, "eth1", 0, 0);
    WalkOnce(sampler);
    source.AddTraffic(1, 5 * kGiB, 6 * kGiB);
    source.AddTraffic(2, 5 * kGiB, 0);
    Walked w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 10 * kGiB);
    EXPECT_EQ(w.out, 6 * kGiB);

    // eth0 was re-created: its counter restarts low. No phantom traffic, and it counts on from
    // the new value.
    source.SetCounters(1, 1000, 200);
    source.AddTraffic(2, 3, 4);
    w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 3u);
    EXPECT_EQ(w.out, 4u);
    source.SetCounters(1, 3000, 250);
    w = WalkOnce(sampler);
    EXPECT_EQ(w.in, 2000u);
    EXPECT_EQ(w.out, 50u);
}

TEST_F(SamplerTest, RatesAreTheBytesOverTheInterval) {
    source.AddAdapter(1, "eth0", 123, 456);
    clock.Set(5000);
    Pair rates = Sample();  // meets the interface: nothing counted yet
    EXPECT_EQ(rates.down, 0.0);
    EXPECT_EQ(rates.up, 0.0);

    source.AddTraffic(1, kMiB, 2048);
    clock.Advance(1000);
    rates = Sample();
    EXPECT_DOUBLE_EQ(rates.down, 1024.0);
    EXPECT_DOUBLE_EQ(rates.up, 2.0);
    EXPECT_DOUBLE_EQ(Totals().down, 1.0);
    EXPECT_DOUBLE_EQ(Totals().up, 2048.0 / kMiB);

    source.AddTraffic(1, 512, 0);
    clock.Advance(250);
    EXPECT_DOUBLE_EQ(Sample().down, 2.0);

    // Nothing visited: speeds drop to 0 and the totals stand still.
    source.SetTableFails(true);
    clock.Advance(100);
    EXPECT_EQ(Sample().down, 0.0);
    EXPECT_DOUBLE_EQ(Totals().down, 1.0 + 512.0 / kMiB);
}

TEST_F(SamplerTest, AfterEachBlockOfThirtySamplesTheTotalsAreExactByteCounts) {
    source.AddAdapter(1, "eth0");
    Sample();
    std::uint64_t sum = 0;
    for (std::uint64_t i = 1; i < 2 * CTrafficSampler::kBlockLength; ++i) {
        sum += 1 + 7919 * i;
        source.AddTraffic(1, 1 + 7919 * i, 3 + 3 * 7919 * i);
        clock.Advance(13);
        Sample();
    }
    EXPECT_EQ(Totals().down, static_cast<double>(sum) / kMiB);
    EXPECT_EQ(Totals().up, static_cast<double>(3 * sum) / kMiB);
    // The byte counts run on across the blocks.
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    sampler.ByteTotals(received, sent);
    EXPECT_EQ(received, sum);
    EXPECT_EQ(sent, 3 * sum);
}

TEST_F(WideSamplerTest, MoreThan4GiBInOneBlockSurvivesTheRebase) {
    source.AddAdapter(1, "eth0");
    Sample();
    for (int i = 1; i < CTrafficSampler::kBlockLength; ++i) {
        source.AddTraffic(1, kGiB, 2 * kGiB);
        clock.Advance(1000);
        const Pair rates = Sample();
        ASSERT_DOUBLE_EQ(rates.down, 1024.0 * 1024.0) << "sample " << i;
        ASSERT_DOUBLE_EQ(rates.up, 2 * 1024.0 * 1024.0) << "sample " << i;
    }
    EXPECT_EQ(Totals().down, 29 * 1024.0);
    EXPECT_EQ(Totals().up, 58 * 1024.0);
}

TEST_F(SamplerTest, SamplesInTheSameMillisecondKeepTheRatesFinite) {
    source.AddAdapter(1, "eth0");
    EXPECT_EQ(Sample().down, 0.0);  // at 0 ms: the very first interval is empty too
    source.AddTraffic(1, 1024, 0);
    clock.Set(1000);
    EXPECT_DOUBLE_EQ(Sample().down, 1.0);

    // Same millisecond: the last speeds again; the bytes join the totals at once ...
    source.AddTraffic(1, 2048, 0);
    const Pair rates = Sample();
    EXPECT_TRUE(std::isfinite(rates.down) && std::isfinite(rates.up));
    EXPECT_DOUBLE_EQ(rates.down, 1.0);
    EXPECT_DOUBLE_EQ(Totals().down, 3072.0 / kMiB);

    // ... and into the speed of the next interval, which starts at the last timed sample.
    source.AddTraffic(1, 1024, 0);
    clock.Set(2000);
    EXPECT_DOUBLE_EQ(Sample().down, 3.0);
}

TEST_F(SamplerTest, IntervalAcrossTheClockWrap) {
    source.AddAdapter(1, "eth0");
    clock.Set(0xFFFFFFFFu - 499);
    Sample();
    source.AddTraffic(1, 10240, 5120);
    clock.Advance(1000);  // wraps to 500
    const Pair rates = Sample();
    EXPECT_DOUBLE_EQ(rates.down, 10.0);
    EXPECT_DOUBLE_EQ(rates.up, 5.0);
}

}  // namespace
