#include "apps/CAppsMonitor.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "FakeClocks.h"

namespace {

// No sockets, no processes: all the interfaces carried is other traffic, so the model's figures
// show the deltas it was polled with. Counts the polls where the monitor's owner can see them.
class CountingSockets final : public SocketSource {
public:
    explicit CountingSockets(int& polls) : polls_(polls) {}
    bool OpenSockets(std::vector<TcpSocket>&) override {
        ++polls_;
        return true;
    }
    void ClosedSockets(std::vector<TcpSocket>&) override {}

private:
    int& polls_;
};

class NoProcesses final : public ProcessSource {
public:
    void Processes(std::vector<ProcessInfo>&) override {}
};

struct Totals {
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    std::uint32_t afterMs = 1000;  // since the sample before
};

TEST(AppsMonitorTest, PollsOncePerSampleWithTheBytesSinceThePrevious) {
    const struct {
        const char* name;
        Totals opening;
        std::vector<Totals> samples;
        Totals expectedOther;
        int expectedPolls;
    } cases[] = {
        {"nothing carried before the opening counts", {5000, 700}, {{5000, 700}}, {0, 0}, 2},
        {"each sample adds what came since the one before",
         {0, 0},
         {{1000, 10}, {3000, 30}},
         {3000, 30},
         3},
        {"opened late: only what came after",
         {1000, 100},
         {{1500, 150}, {1800, 180}},
         {800, 80},
         3},
        {"a count that went back adds nothing and counts on from there",
         {1000, 100},
         {{500, 50}, {800, 80}},
         {300, 30},
         3},
        {"a sample in the millisecond of the poll before waits, its bytes kept for the next",
         {0, 0},
         {{1000, 10}, {1500, 15, 0}, {2000, 20}},
         {2000, 20},
         3},
        {"a sample in the opening's millisecond waits too",
         {0, 0},
         {{400, 4, 0}, {1000, 10}},
         {1000, 10},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMsClock clock(1000);
        int polls = 0;
        CAppsMonitor monitor(std::make_unique<CountingSockets>(polls),
                             std::make_unique<NoProcesses>(), clock, 1000, c.opening.received,
                             c.opening.sent);
        EXPECT_EQ(polls, 1);  // the window opens with the monitor
        for (const Totals& sample : c.samples) {
            clock.Advance(sample.afterMs);
            monitor.Sample(sample.received, sample.sent);
        }
        EXPECT_EQ(polls, c.expectedPolls);
        EXPECT_EQ(monitor.Traffic().Other().downBytes, c.expectedOther.received);
        EXPECT_EQ(monitor.Traffic().Other().upBytes, c.expectedOther.sent);
    }
}

}  // namespace
