// The Statistics window over ten years of 8 interfaces in the hourly store and ten years of days
// in "stats.dat": how long it takes to open (built and shown), to switch to one interface and
// back to all monitored, and to show a day's hours.
#include <QApplication>
#include <QComboBox>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "FakeClocks.h"
#include "TempDir.h"
#include "graphgl/CGraphWindow.h"
#include "hourly/CHourlyStore.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "statistics/StatisticsWindow.h"

namespace {

constexpr int kInterfaces = 8;
constexpr std::int64_t kStart = 1483228800;  // 2017-01-01 00:00 UTC
constexpr std::int64_t kHours = 10 * 8760;

struct Filled {
    Filled() {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        QString error;
        graph.CreateGL(error);
        folder.EnsureDataFolder();
        store = std::make_unique<CHourlyStore>(folder, zone);
        store->Open(kStart);
        std::vector<HourRow> rows;
        for (std::int64_t hour = 0; hour < kHours; ++hour) {
            for (int i = 0; i < kInterfaces; ++i) {
                const std::uint64_t busy = (hour * 7919 + i * 104729) % 90000000;
                rows.push_back(
                    {"if" + std::to_string(i), kStart + hour * 3600, busy, busy / 8, i != 7});
            }
            if (rows.size() >= 24 * 31 * kInterfaces) {
                store->Save(rows);
                rows.clear();
            }
        }
        store->Save(rows);
        std::string stats = "V1.0.0\n";
        for (LocalDate d{1, 1, 2017}; !(d == LocalDate{31, 12, 2026}); d = AddDays(d, 1)) {
            AppendFormatted(stats, "%d %d %d 100.0 900.0\n", d.day, d.month, d.year);
        }
        WriteFileAtomically(folder.DataFilePath(CTrafficHistory::kFileName), stats);
        clock.SetDate({31, 12, 2026});
        history = std::make_unique<CTrafficHistory>(folder, ms, clock);
    }
    StatisticsWindow* Open() {
        auto* window = new StatisticsWindow(*history, store.get(), [this] { graph.MakeCurrent(); });
        window->show();
        QApplication::processEvents();
        return window;
    }

    TempDir dir;
    CDataFolder folder{dir.Str(), dir.Str()};
    SystemLocalZone zone;
    FakeMsClock ms{1000};
    FakeLocalClock clock;
    CGraphWindow graph;
    std::unique_ptr<CHourlyStore> store;
    std::unique_ptr<CTrafficHistory> history;
};

Filled& Data() {
    static Filled filled;
    return filled;
}

void BM_OpenWithTenYears(benchmark::State& state) {
    Filled& data = Data();
    for (auto _ : state) {
        delete data.Open();
    }
}
BENCHMARK(BM_OpenWithTenYears)->Unit(benchmark::kMillisecond);

// To one interface and back: two switches per iteration.
void BM_SwitchInterfaceAndBack(benchmark::State& state) {
    Filled& data = Data();
    StatisticsWindow* window = data.Open();
    auto* choice = window->findChild<QComboBox*>("interfaceChoice");
    for (auto _ : state) {
        choice->setCurrentIndex(1);
        QApplication::processEvents();
        choice->setCurrentIndex(0);
        QApplication::processEvents();
    }
    delete window;
}
BENCHMARK(BM_SwitchInterfaceAndBack)->Unit(benchmark::kMillisecond);

void BM_ShowADaysHours(benchmark::State& state) {
    Filled& data = Data();
    StatisticsWindow* window = data.Open();
    window->findChild<QComboBox*>("interfaceChoice")->setCurrentIndex(1);
    auto* days = window->findChild<QTreeWidget*>("daysList");
    int row = 0;
    for (auto _ : state) {
        days->setCurrentItem(days->topLevelItem(row++ % days->topLevelItemCount()));
        QApplication::processEvents();
    }
    delete window;
}
BENCHMARK(BM_ShowADaysHours)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("LP_NUM_THREADS", "0", 0);  // as the program does
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
