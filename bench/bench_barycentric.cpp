// The precise correction with the barycentric and heliocentric times of an observation: what a row of
// the table of radial velocities costs when its velocities are corrected and its time converted.
#include "astro/BarycentricCorrection.h"

#include <benchmark/benchmark.h>

namespace {

// A season: 200 observations over 90 nights, computed again and again as a table is (items: rows).
void BM_BarycentricSeason(benchmark::State& oState)
{
    BarycentricInput o{2459739.3968, 211.0973, 64.3759, -1.68, 47.181, 31.0, 0.0};
    for (auto _ : oState) {
        for (int i = 0; i < 200; ++i) {
            o.fJulianDateUtc = 2459739.3968 + 0.45 * i;
            const auto oResult = ComputeBarycentric(o);
            benchmark::DoNotOptimize(oResult->fCorrectionKms);
        }
    }
    oState.SetItemsProcessed(oState.iterations() * 200);
}
BENCHMARK(BM_BarycentricSeason)->Unit(benchmark::kMicrosecond);

// The worst case: every observation on a day no observation before fell on (two new ephemeris nodes).
void BM_BarycentricNewDays(benchmark::State& oState)
{
    BarycentricInput o{2440000.0, 211.0973, 64.3759, -1.68, 47.181, 31.0, 0.0};
    for (auto _ : oState) {
        o.fJulianDateUtc += 1.0;
        const auto oResult = ComputeBarycentric(o);
        benchmark::DoNotOptimize(oResult->fCorrectionKms);
    }
}
BENCHMARK(BM_BarycentricNewDays)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
