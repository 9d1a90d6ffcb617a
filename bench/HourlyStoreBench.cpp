// The hourly store with ten years of hours of 8 interfaces (about 700,000 rows): its size on
// disk, the queries of the Statistics window and the export, a save of one hour, and the
// tally's per-sample cost.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TempDir.h"
#include "hourly/CHourlyStore.h"
#include "hourly/CHourlyTally.h"

namespace {

constexpr int kInterfaces = 8;
constexpr std::int64_t kStart = 1483228800;  // 2017-01-01 00:00 UTC
constexpr std::int64_t kHours = 10 * 8760;

const LocalDate kFirstDay{1, 1, 2017};
const LocalDate kLastDay{31, 12, 2026};

// One store for all benchmarks, filled once: Berlin time, so daylight-saving days are in it.
struct Filled {
    Filled() {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        store = std::make_unique<CHourlyStore>(CDataFolder(dir.Str(), "/opt/"), zone);
        store->Open(kStart);
        std::vector<HourRow> rows;
        rows.reserve(24 * 31 * kInterfaces);
        for (std::int64_t hour = 0; hour < kHours; ++hour) {
            for (int i = 0; i < kInterfaces; ++i) {
                // Typical amounts: tens of MB an hour on the busy ones, little on the others.
                const std::uint64_t busy = (hour * 7919 + i * 104729) % 90000000;
                rows.push_back({"if" + std::to_string(i), kStart + hour * 3600,
                                i < 3 ? busy : busy / 1000, i < 3 ? busy / 8 : busy / 9000,
                                i != 7});
            }
            if (rows.size() >= rows.capacity() - kInterfaces) {
                store->Save(rows);
                rows.clear();
            }
        }
        store->Save(rows);
        // What the file weighs once the log is folded in, as after a quiet spell.
        store.reset();
        store = std::make_unique<CHourlyStore>(CDataFolder(dir.Str(), "/opt/"), zone);
        store->Open(kStart);
    }
    std::uint64_t FileBytes() const {
        std::uint64_t bytes = 0;
        for (const char* suffix : {"", "-wal"}) {
            std::error_code ignored;
            const auto size =
                std::filesystem::file_size(dir.Str() + "/history.sqlite" + suffix, ignored);
            bytes += ignored ? 0 : size;
        }
        return bytes;
    }

    TempDir dir;
    SystemLocalZone zone;
    std::unique_ptr<CHourlyStore> store;
};

Filled& Store() {
    static Filled filled;
    return filled;
}

void BM_FileSizeOfTenYears(benchmark::State& state) {
    Filled& filled = Store();
    for (auto _ : state) {
        benchmark::DoNotOptimize(filled.FileBytes());
    }
    state.counters["MB"] = static_cast<double>(filled.FileBytes()) / 1e6;
    state.counters["rows"] = static_cast<double>(kHours * kInterfaces);
}
BENCHMARK(BM_FileSizeOfTenYears)->Iterations(1);

void BM_DayTotalsOneInterfaceTenYears(benchmark::State& state) {
    const CHourlyStore& store = *Store().store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.DayTotals("if0", kFirstDay, kLastDay));
    }
}
BENCHMARK(BM_DayTotalsOneInterfaceTenYears)->Unit(benchmark::kMillisecond);

void BM_DayTotalsAllMonitoredTenYears(benchmark::State& state) {
    const CHourlyStore& store = *Store().store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.DayTotals(CHourlyStore::kAllMonitored, kFirstDay, kLastDay));
    }
}
BENCHMARK(BM_DayTotalsAllMonitoredTenYears)->Unit(benchmark::kMillisecond);

void BM_DaysOfOneMonth(benchmark::State& state) {
    const CHourlyStore& store = *Store().store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.DayTotals("if0", {1, 3, 2024}, {31, 3, 2024}));
    }
}
BENCHMARK(BM_DaysOfOneMonth)->Unit(benchmark::kMicrosecond);

void BM_HoursOfOneDay(benchmark::State& state) {
    const CHourlyStore& store = *Store().store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.HoursOfDay("if0", {31, 3, 2024}));
    }
}
BENCHMARK(BM_HoursOfOneDay)->Unit(benchmark::kMicrosecond);

void BM_HoursOfOneDayAllMonitored(benchmark::State& state) {
    const CHourlyStore& store = *Store().store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.HoursOfDay(CHourlyStore::kAllMonitored, {31, 3, 2024}));
    }
}
BENCHMARK(BM_HoursOfOneDayAllMonitored)->Unit(benchmark::kMicrosecond);

void BM_AllHoursInOrder(benchmark::State& state) {
    const CHourlyStore& store = *Store().store;
    for (auto _ : state) {
        std::uint64_t sum = 0;
        store.ForEachHour([&](const HourRow& row) { sum += row.received; });
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_AllHoursInOrder)->Unit(benchmark::kMillisecond);

// The periodic save: one hour's rows of every interface, into the full store.
void BM_SaveOneHour(benchmark::State& state) {
    CHourlyStore& store = *Store().store;
    std::vector<HourRow> rows;
    for (int i = 0; i < kInterfaces; ++i) {
        rows.push_back({"if" + std::to_string(i), 0, 123456, 7890, true});
    }
    std::int64_t hour = kStart + kHours * 3600;
    for (auto _ : state) {
        for (HourRow& row : rows) {
            row.hourStart = hour;
        }
        hour += 3600;
        benchmark::DoNotOptimize(store.Save(rows));
    }
}
BENCHMARK(BM_SaveOneHour)->Unit(benchmark::kMillisecond);

// What every sample costs: 8 interfaces' deltas into the tally.
void BM_TallyOneSample(benchmark::State& state) {
    SystemLocalZone zone;
    CHourlyTally tally(zone);
    const std::string names[kInterfaces] = {"eth0", "wlan0", "lo",    "docker0",
                                            "tun0", "usb0",  "veth1", "virbr0"};
    std::int64_t now = kStart;
    for (auto _ : state) {
        for (int i = 0; i < kInterfaces; ++i) {
            tally.Add(names[i], i < 2, 1500, 100, now);
        }
        ++now;  // one sample a second: a new hour every 3600 samples
        if (tally.Rows().size() > 64) {
            tally.Clear();  // as a save does
        }
    }
}
BENCHMARK(BM_TallyOneSample);

}  // namespace

BENCHMARK_MAIN();
