// The Lomb-Scargle periodogram of the 227 alpha Dra velocities over 100,000 frequencies, and the
// least-squares polish of their orbit from the grid search's best point.
#include "orbit/OrbitLeastSquares.h"
#include "orbit/Periodogram.h"
#include "support/Generators.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void AlphaDra(std::vector<double>& vT, std::vector<double>& vV)
{
    quandrel::testing::ReadVelocities(std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt", vT, vV);
}

void BM_Periodogram(benchmark::State& oState)
{
    std::vector<double> vT;
    std::vector<double> vV;
    AlphaDra(vT, vV);
    for (auto _ : oState) {
        std::string sError;
        auto o = LombScargle(vT, vV, {}, 0.5, 1000.0, oState.range(0), sError);
        benchmark::DoNotOptimize(o->lBest);
    }
    oState.SetLabel(std::to_string(vT.size()) + " points");
}

void BM_LeastSquaresPolish(benchmark::State& oState)
{
    std::vector<double> vT;
    std::vector<double> vV;
    AlphaDra(vT, vV);
    const SOrbitalElements oStart =
        quandrel::testing::Orbit(51.4, 2459874.525977, 0.421875, 21.375, 48.415443, -15.398438);
    for (auto _ : oState) {
        std::string sError;
        auto o = FitOrbitLeastSquares(vT, vV, {}, oStart, sError);
        benchmark::DoNotOptimize(o->afValue[0]);
    }
}

} // namespace

BENCHMARK(BM_Periodogram)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeastSquaresPolish)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
