// One precise correction with the barycentric and heliocentric times of an observation: what a row of
// the table of radial velocities costs when its velocities are corrected and its time converted.
#include "astro/BarycentricCorrection.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Barycentric(benchmark::State& oState)
{
    BarycentricInput o{2459739.3968, 211.0973, 64.3759, -1.68, 47.181, 31.0, 0.0};
    for (auto _ : oState) {
        o.fJulianDateUtc += 1e-3; // another time each call: nothing is cached
        const auto oResult = ComputeBarycentric(o);
        benchmark::DoNotOptimize(oResult->fCorrectionKms);
    }
}
BENCHMARK(BM_Barycentric)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
