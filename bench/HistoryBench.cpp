// The history's per-sample update, and loading and saving ten years of days.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "FakeClocks.h"
#include "TempDir.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"

// Every heap allocation in the process is counted, so the update's common path can be shown to
// allocate nothing.
namespace {
std::atomic<long long> allocations{0};
}

// All kept out of line: once inlined, GCC pairs malloc with delete and warns of a mismatch.
__attribute__((noinline)) void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
__attribute__((noinline)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
__attribute__((noinline)) void operator delete(void* p) noexcept {
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

class CountingObserver : public CObserver {
public:
    void Update() override { ++count; }
    long long count = 0;
};

int DaysIn(int month, int year) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Writes `count` consecutive days from 1 January 2017 and returns the last date.
LocalDate WriteHistory(const CDataFolder& folder, int count) {
    std::string text = "V1.0.0\n";
    LocalDate date{1, 1, 2017};
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (++date.day > DaysIn(date.month, date.year)) {
                date.day = 1;
                if (++date.month > 12) {
                    date.month = 1;
                    ++date.year;
                }
            }
        }
        AppendFormatted(text, "%d %d %d %f %f\n", date.day, date.month, date.year, i * 1.25 + 0.3,
                        i * 17.5 + 1234.567891);
    }
    folder.EnsureDataFolder();
    WriteFileAtomically(folder.DataFilePath(CTrafficHistory::kFileName), text);
    return date;
}

void BM_HistoryUpdateCommonPath(benchmark::State& state) {
    TempDir scratch;
    const CDataFolder folder(scratch.Str() + "/Tallyglass", "/");
    FakeMsClock ms(5000);
    FakeLocalClock clock({7, 12, 2026});
    CTrafficHistory history(folder, ms, clock);
    CountingObserver observer;
    history.Attach(observer);
    double download = 0.0;
    double upload = 0.0;
    history.Update(download, upload);

    const long long before = allocations.load();
    for (auto _ : state) {
        download += 0.01;
        upload += 0.002;
        history.Update(download, upload);
    }
    const long long after = allocations.load();
    state.counters["allocs_per_iter"] =
        static_cast<double>(after - before) / static_cast<double>(state.iterations());
    benchmark::DoNotOptimize(history.CurrentDay().downloaded);
    history.Detach(observer);
}
BENCHMARK(BM_HistoryUpdateCommonPath);

void BM_HistoryLoad3650(benchmark::State& state) {
    TempDir scratch;
    const CDataFolder folder(scratch.Str() + "/Tallyglass", "/");
    const LocalDate last = WriteHistory(folder, 3650);
    FakeMsClock ms(5000);
    FakeLocalClock clock(last);
    for (auto _ : state) {
        CTrafficHistory history(folder, ms, clock);
        benchmark::DoNotOptimize(history.SinceDownload());
    }
    CTrafficHistory history(folder, ms, clock);
    state.counters["months"] = history.MonthCount();
}
BENCHMARK(BM_HistoryLoad3650)->Unit(benchmark::kMillisecond);

void BM_HistorySave3650(benchmark::State& state) {
    TempDir scratch;
    const CDataFolder folder(scratch.Str() + "/Tallyglass", "/");
    const LocalDate last = WriteHistory(folder, 3650);
    FakeMsClock ms(5000);
    FakeLocalClock clock(last);
    CTrafficHistory history(folder, ms, clock);
    for (auto _ : state) {
        if (!history.Save()) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_HistorySave3650)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
