#include <benchmark/benchmark.h>

#include "engine/conversions.h"

static void BM_DegToMsec(benchmark::State& state) {
    double x = 34.996713687;
    for (auto _ : state) benchmark::DoNotOptimize(vamu::DegToMsec(x));
}
BENCHMARK(BM_DegToMsec);
