// The Lomb-Scargle periodogram of the 227 alpha Dra velocities over 100,000 frequencies, the
// least-squares polish of their orbit from the grid search's best point, and the PDM scan of the
// same velocities over 10^6 trial periods (on one thread and on all cores).
#include "orbit/OrbitLeastSquares.h"
#include "orbit/PhaseDispersion.h"
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
    const OrbitElements oStart =
        quandrel::testing::Orbit(51.4, 2459874.525977, 0.421875, 21.375, 48.415443, -15.398438);
    for (auto _ : oState) {
        std::string sError;
        auto o = FitOrbitLeastSquares(vT, vV, {}, oStart, sError);
        benchmark::DoNotOptimize(o->afValue[0]);
    }
}

void BM_PdmScan(benchmark::State& oState)
{
    std::vector<double> vT;
    std::vector<double> vV;
    AlphaDra(vT, vV);
    DataSeries oSeries;
    oSeries.SetSize(static_cast<int32_t>(vT.size()));
    for (std::size_t k = 0; k < vT.size(); ++k) {
        oSeries.SetX(static_cast<int32_t>(k), vT[k]);
        oSeries.SetY(static_cast<int32_t>(k), vV[k]);
    }
    const double fLower = 20.0;
    const double fUpper = fLower + 1e6 * PhaseDispersion::kPeriodStep;
    for (auto _ : oState) {
        PhaseDispersion oPdm;
        oPdm.SetDataArray(oSeries);
        oPdm.SetPeriodRange(fLower, fLower, fUpper);
        oPdm.SetNumberBins(static_cast<int32_t>(vT.size() / 3));
        oPdm.SetNumberParameters(1);
        oPdm.SetThreads(static_cast<unsigned>(oState.range(0)));
        oPdm.ScanPeriods();
        benchmark::DoNotOptimize(oPdm.GetBestPeriod());
    }
    oState.SetLabel(std::to_string(vT.size()) + " points, 10^6 periods, " +
                    (oState.range(0) == 0 ? std::string("all cores") : std::to_string(oState.range(0)) + " thread"));
}

} // namespace

BENCHMARK(BM_Periodogram)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeastSquaresPolish)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_PdmScan)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
