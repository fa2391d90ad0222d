// The orbit grid search with the default ranges (11^6 + 1 evaluations of the
// cost) on 30 data points: the program's search on one thread and on every
// core, and the plain nested loop.
#include "orbit/OrbitGridSearch.h"
#include "support/Generators.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

OrbitGridSearch MakeOrbit()
{
    const DataSeries oSeries = quandrel::testing::CadenceSeries(quandrel::testing::CadenceOrbit(), 30);
    OrbitGridSearch oOrbit;
    oOrbit.SetDataArray(oSeries);
    // The dialog's defaults: P from 0.5 days to the span, T0 over the span, e 0 .. 0.9, omega 0 .. 360,
    // a1 sin i 1000 .. 1e10 km, gamma over the velocities; 10 steps each.
    const double fFirst = oSeries.GetX(0);
    const double fLast = oSeries.GetX(oSeries.GetArraySize() - 1);
    oOrbit.SetParameter(0, false, 10, 0.5, 0.5, fLast - fFirst);
    oOrbit.SetParameter(1, false, 10, fFirst, fFirst, fLast);
    oOrbit.SetParameter(2, false, 10, 0.0, 0.0, 0.9);
    oOrbit.SetParameter(3, false, 10, 0.0, 0.0, 360.0);
    oOrbit.SetParameter(4, false, 10, 1000.0, 1000.0, 1e10);
    oOrbit.SetParameter(5, false, 10, -47.0, -47.0, 23.0);
    oOrbit.SetNumberParameters(6);
    return oOrbit;
}

// Argument: threads (0: every core).
void BM_OrbitGrid(benchmark::State& oState)
{
    OrbitGridSearch oOrbit = MakeOrbit();
    oOrbit.SetThreads(static_cast<unsigned>(oState.range(0)));
    for (auto _ : oState) {
        oOrbit.Optimize();
        benchmark::DoNotOptimize(oOrbit.GetBestValue());
    }
    oState.SetItemsProcessed(oState.iterations() * 1771562);
}

void BM_OrbitGridPlain(benchmark::State& oState)
{
    OrbitGridSearch oOrbit = MakeOrbit();
    for (auto _ : oState) {
        oOrbit.Optimizer::Optimize();
        benchmark::DoNotOptimize(oOrbit.GetBestValue());
    }
    oState.SetItemsProcessed(oState.iterations() * 1771562);
}

} // namespace

BENCHMARK(BM_OrbitGrid)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrbitGridPlain)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
