// The orbit grid search with the default ranges (11^6 + 1 evaluations of the
// cost) on 30 data points: the program's search and the plain nested loop.
#include "orbit/OrbitalElementsClass.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

COrbitalElements MakeOrbit()
{
    SOrbitalElements oTruth;
    oTruth.fPeriod = 12.5;
    oTruth.fT0 = 2455003.1;
    oTruth.fEccentricity = 0.3;
    oTruth.fOmega = 60.0;
    oTruth.fA1SinI = 35.0 * 12.5 * 86400.0 * std::sqrt(1 - 0.09) / (2 * 3.141592653589793);
    oTruth.fGamma = -12.0;
    std::vector<double> vT;
    std::vector<double> vV;
    for (int k = 0; k < 30; ++k) {
        const double t = 2455000.0 + 3.0 * k + 0.37 * std::sin(k);
        vT.push_back(t);
        vV.push_back(COrbitalElements::ModelVelocity(t, oTruth));
    }
    CMeasuredDataArray oSeries;
    oSeries.SetValues(vT.data(), vV.data(), 30);
    COrbitalElements oOrbit;
    oOrbit.SetDataArray(oSeries);
    // The dialog's defaults: P from 0.5 days to the span, T0 over the span, e 0 .. 0.9, omega 0 .. 360,
    // a1 sin i 1000 .. 1e10 km, gamma over the velocities; 10 steps each.
    const double fFirst = vT.front();
    const double fLast = vT.back();
    oOrbit.SetParameter(0, false, 10, 0.5, 0.5, fLast - fFirst);
    oOrbit.SetParameter(1, false, 10, fFirst, fFirst, fLast);
    oOrbit.SetParameter(2, false, 10, 0.0, 0.0, 0.9);
    oOrbit.SetParameter(3, false, 10, 0.0, 0.0, 360.0);
    oOrbit.SetParameter(4, false, 10, 1000.0, 1000.0, 1e10);
    oOrbit.SetParameter(5, false, 10, -47.0, -47.0, 23.0);
    oOrbit.SetNumberParameters(6);
    return oOrbit;
}

void BM_OrbitGrid(benchmark::State& oState)
{
    COrbitalElements oOrbit = MakeOrbit();
    for (auto _ : oState) {
        oOrbit.Optimize();
        benchmark::DoNotOptimize(oOrbit.GetBestValue());
    }
    oState.SetItemsProcessed(oState.iterations() * 1771562);
}

void BM_OrbitGridPlain(benchmark::State& oState)
{
    COrbitalElements oOrbit = MakeOrbit();
    for (auto _ : oState) {
        oOrbit.COptimization::Optimize();
        benchmark::DoNotOptimize(oOrbit.GetBestValue());
    }
    oState.SetItemsProcessed(oState.iterations() * 1771562);
}

} // namespace

BENCHMARK(BM_OrbitGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrbitGridPlain)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
