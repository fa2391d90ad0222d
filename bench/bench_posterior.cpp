// The orbit's posterior by the ensemble sampler: 500,000 likelihood calls of a 20-point orbit (two
// ensembles of 50 walkers for 5,000 steps), as a Python user would run emcee on the same data.
#include "orbit/OrbitLeastSquares.h"
#include "orbit/OrbitPosterior.h"
#include "support/Generators.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

void BM_Posterior20Points(benchmark::State& oState)
{
    const OrbitElements oTruth = quandrel::testing::Orbit(12.5, 2459003.1, 0.3, 60.0, 35.0, -12.0);
    std::mt19937 oRandom(20);
    std::normal_distribution<double> oNoise(0.0, 0.5);
    std::vector<double> vT;
    std::vector<double> vV;
    for (int i = 0; i < 20; ++i) {
        vT.push_back(2459000.0 + 4.5 * i + 0.3 * (i % 3));
        vV.push_back(OrbitGridSearch::ModelVelocity(vT.back(), oTruth) + oNoise(oRandom));
    }
    const std::vector<double> vSigma(20, 0.5);
    std::string sError;
    const auto oFit = FitOrbitLeastSquares(vT, vV, vSigma, oTruth, sError);
    PosteriorOptions oOptions;
    oOptions.lWalkers = 50;
    oOptions.lSteps = 5000;
    oOptions.lThreads = 2;
    oOptions.bStopWhenLongEnough = false; // exactly 2 x 50 x 5,000 steps
    int64_t lCalls = 0;
    for (auto _ : oState) {
        const auto oPosterior = SampleOrbitPosterior(vT, vV, vSigma, nullptr, *oFit, oOptions, sError);
        lCalls += oPosterior->lLikelihoodCalls;
        benchmark::DoNotOptimize(oPosterior->fTau);
    }
    oState.counters["calls"] = benchmark::Counter(static_cast<double>(lCalls), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Posterior20Points)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

BENCHMARK_MAIN();
