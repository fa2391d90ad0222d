// The precise correction with the barycentric and heliocentric times of an observation: what a row of
// the table of radial velocities costs when its velocities are corrected and its time converted.
#include "astro/BarycentricCorrection.h"

#include <benchmark/benchmark.h>

namespace {

BarycentricInput AlphaDraFromTheAlps(double fJulianDate)
{
    return {fJulianDate, 211.0973, 64.3759, -1.68, 47.181, 31.0, 0.0};
}

// A season of 200 observations over 90 nights, each season in a stretch of time no season before
// touched, so that every ephemeris node it needs is computed afresh (items: rows).
void BM_BarycentricNewSeason(benchmark::State& oState)
{
    double fStart = 2438000.0;
    for (auto _ : oState) {
        for (int i = 0; i < 200; ++i) {
            const auto oResult = ComputeBarycentric(AlphaDraFromTheAlps(fStart + 0.45 * i));
            benchmark::DoNotOptimize(oResult->fCorrectionKms);
        }
        fStart += 97.0;
        if (fStart > 2487000.0) {
            fStart = 2438000.0;
        }
    }
    oState.SetItemsProcessed(oState.iterations() * 200);
}
BENCHMARK(BM_BarycentricNewSeason)->Unit(benchmark::kMicrosecond);

// The same season computed again, as the table's columns and the orbit's times are (items: rows).
void BM_BarycentricSeasonAgain(benchmark::State& oState)
{
    for (auto _ : oState) {
        for (int i = 0; i < 200; ++i) {
            const auto oResult = ComputeBarycentric(AlphaDraFromTheAlps(2459739.3968 + 0.45 * i));
            benchmark::DoNotOptimize(oResult->fCorrectionKms);
        }
    }
    oState.SetItemsProcessed(oState.iterations() * 200);
}
BENCHMARK(BM_BarycentricSeasonAgain)->Unit(benchmark::kMicrosecond);

// One observation a night on nights no observation before fell on: half a new ephemeris node a row.
void BM_BarycentricNewNights(benchmark::State& oState)
{
    double fJulianDate = 2440000.3;
    for (auto _ : oState) {
        fJulianDate = fJulianDate > 2487000.0 ? 2440000.3 : fJulianDate + 1.0;
        const auto oResult = ComputeBarycentric(AlphaDraFromTheAlps(fJulianDate));
        benchmark::DoNotOptimize(oResult->fCorrectionKms);
    }
}
BENCHMARK(BM_BarycentricNewNights)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
