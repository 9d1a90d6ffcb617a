#include <benchmark/benchmark.h>

#include "platform/LinuxInterfaceSource.h"
#include "platform/MsClock.h"
#include "sampling/CTrafficSampler.h"

// One sample as the per-frame update takes it: a walk over the real /proc/net/dev.
static void BM_SampleRealProcNetDev(benchmark::State& state) {
    LinuxInterfaceSource source;
    SteadyMsClock clock;
    CTrafficSampler sampler(source, clock);
    double down = 0;
    double up = 0;
    sampler.Sample(down, up);  // meets the interfaces
    sampler.Sample(down, up);
    for (auto _ : state) {
        sampler.Sample(down, up);
        benchmark::DoNotOptimize(down);
        benchmark::DoNotOptimize(up);
    }
}
BENCHMARK(BM_SampleRealProcNetDev);

BENCHMARK_MAIN();
