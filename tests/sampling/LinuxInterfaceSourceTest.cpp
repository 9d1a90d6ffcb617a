#include "platform/LinuxInterfaceSource.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FakeClocks.h"
#include "TempDir.h"
#include "sampling/CTrafficSampler.h"

namespace {

const std::string kData = TALLYGLASS_TEST_DATA;
const std::string kHeader =
    "Inter-|   Receive                                                |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs "
    "drop fifo colls carrier compressed\n";

std::string Line(const std::string& name, std::uint64_t in, std::uint64_t out) {
    return "  " + name + ": " + std::to_string(in) + " 1 0 0 0 0 0 0 " + std::to_string(out) +
           " 1 0 0 0 0 0 0\n";
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::vector<InterfaceRow> Rows(LinuxInterfaceSource& source) {
    std::vector<std::uint32_t> indexes;
    source.AdapterIndexes(indexes);
    std::vector<InterfaceRow> rows;
    for (std::uint32_t index : indexes) {
        InterfaceRow row;
        EXPECT_TRUE(source.Entry(index, row));
        EXPECT_EQ(row.index, index);
        rows.push_back(row);
    }
    return rows;
}

TEST(LinuxInterfaceSource, ReadsTheKernelsTableFormat) {
    LinuxInterfaceSource source(kData + "/net_dev_basic", kData + "/net_dev_sys");
    EXPECT_EQ(source.CounterBits(), 64u);

    const std::vector<InterfaceRow> rows = Rows(source);
    ASSERT_EQ(rows.size(), 3u);  // the line with missing columns is not an interface
    EXPECT_EQ(rows[0].description, "lo");
    EXPECT_EQ(rows[0].type, 772u);
    EXPECT_EQ(rows[0].inOctets, 3267u);
    EXPECT_EQ(rows[0].outOctets, 3267u);
    EXPECT_EQ(rows[1].description, "eth0");  // number right after the colon
    EXPECT_EQ(rows[1].type, 1u);
    EXPECT_EQ(rows[1].inOctets, 1234567u);
    EXPECT_EQ(rows[1].outOctets, 47279u);
    EXPECT_EQ(rows[2].description, "wlp2s0");
    EXPECT_EQ(rows[2].type, 0u);  // no type file
    EXPECT_EQ(rows[2].inOctets, 18446744073709551000u);
    EXPECT_EQ(rows[2].outOctets, 6442450944u);

    std::uint32_t count = 0;
    ASSERT_TRUE(source.TableCount(count));
    EXPECT_EQ(count, 3u);  // "lo" is listed: no table entry stands outside the list
    EXPECT_TRUE(source.ListsLoopback());
    InterfaceRow row;
    EXPECT_FALSE(source.Entry(3, row));
}

TEST(LinuxInterfaceSource, UnreadableTableGivesNothing) {
    TempDir dir;
    WriteFile(dir.Path() / "dev", kHeader + Line("eth0", 1, 2));
    LinuxInterfaceSource source((dir.Path() / "dev").string(), dir.Str());
    EXPECT_EQ(Rows(source).size(), 1u);

    std::filesystem::remove(dir.Path() / "dev");
    std::vector<std::uint32_t> indexes{99};
    source.AdapterIndexes(indexes);
    EXPECT_TRUE(indexes.empty());
    std::uint32_t count = 0;
    EXPECT_FALSE(source.TableCount(count));
    InterfaceRow row;
    EXPECT_FALSE(source.Entry(0, row));
}

TEST(LinuxInterfaceSource, EachWalkTakesAFreshSnapshotButTypesAreReadOnce) {
    TempDir dir;
    const auto dev = dir.Path() / "dev";
    WriteFile(dev, kHeader + Line("lo", 10, 10) + Line("eth0", 100, 200));
    WriteFile(dir.Path() / "eth0" / "type", "1\n");
    LinuxInterfaceSource source(dev.string(), dir.Str());
    ASSERT_EQ(Rows(source).size(), 2u);

    WriteFile(dir.Path() / "eth0" / "type", "65534\n");
    WriteFile(dir.Path() / "wg0" / "type", "65534\n");
    WriteFile(dev, kHeader + Line("eth0", 150, 260) + Line("wg0", 5, 6) + Line("lo", 11, 12));
    const std::vector<InterfaceRow> rows = Rows(source);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].description, "eth0");
    EXPECT_EQ(rows[0].type, 1u);  // the cached type, though it moved in the list
    EXPECT_EQ(rows[0].inOctets, 150u);
    EXPECT_EQ(rows[0].outOctets, 260u);
    EXPECT_EQ(rows[1].description, "wg0");
    EXPECT_EQ(rows[1].type, 65534u);
    EXPECT_EQ(rows[2].description, "lo");
    EXPECT_EQ(rows[2].type, 0u);
    std::uint32_t count = 0;
    ASSERT_TRUE(source.TableCount(count));
    EXPECT_EQ(count, 3u);

    WriteFile(dev, kHeader + Line("wg0", 7, 8));
    ASSERT_EQ(Rows(source).size(), 1u);
    InterfaceRow row;
    EXPECT_FALSE(source.Entry(1, row));
}

TEST(LinuxInterfaceSource, ReadsATableLargerThanOneBuffer) {
    TempDir dir;
    std::string text = kHeader;
    for (int i = 0; i < 300; ++i) {
        text += Line("veth" + std::to_string(i), 1000000000000u + i, i);
    }
    WriteFile(dir.Path() / "dev", text);
    LinuxInterfaceSource source((dir.Path() / "dev").string(), dir.Str());
    const std::vector<InterfaceRow> rows = Rows(source);
    ASSERT_EQ(rows.size(), 300u);
    EXPECT_EQ(rows[299].description, "veth299");
    EXPECT_EQ(rows[299].inOctets, 1000000000299u);
    EXPECT_EQ(rows[299].outOctets, 299u);
}

TEST(LinuxInterfaceSource, SamplerCountsEveryInterface) {
    TempDir dir;
    const auto dev = dir.Path() / "dev";
    WriteFile(dev, kHeader + Line("lo", 0, 0) + Line("eth0", 0, 0) + Line("wlan0", 0, 0));
    LinuxInterfaceSource source(dev.string(), dir.Str());
    FakeMsClock clock(1000);
    CTrafficSampler sampler(source, clock);
    double down = 0;
    double up = 0;
    sampler.Sample(down, up);
    sampler.Sample(down, up);
    EXPECT_EQ(sampler.InterfaceNames(), (std::vector<std::string>{"lo", "eth0", "wlan0"}));

    // Every adapter counts, the last in the list too.
    WriteFile(dev,
              kHeader + Line("lo", 1024, 0) + Line("eth0", 2048, 0) + Line("wlan0", 4096, 1024));
    clock.Advance(1000);
    sampler.Sample(down, up);
    EXPECT_DOUBLE_EQ(down, 7.0);
    EXPECT_DOUBLE_EQ(up, 1.0);
}

}  // namespace
