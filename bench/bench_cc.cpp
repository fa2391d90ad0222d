// One correlation run: a 600 A window of a spectrum sampled every 0.1 A
// (6,000 samples) with the dialog's defaults (2 supporting points per pixel,
// span 30, accuracy 0.01 km/s).
#include "spectrum/Spectrum.h"
#include "crosscorr/CrossCorrelation.h"
#include "support/Generators.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <sys/resource.h>
#include <vector>

namespace {

void Fill(Spectrum& oSpectrum, double fVelocity)
{
    std::vector<double> vW;
    std::vector<double> vI;
    quandrel::testing::ManyLineSpectrum(fVelocity, vW, vI);
    oSpectrum.SetValues(7001, vW.data(), vI.data());
}

void BM_CrossCorrelation(benchmark::State& oState)
{
    Spectrum oTemplate;
    Spectrum oSpectrum;
    Fill(oTemplate, 0.0);
    Fill(oSpectrum, 25.0);
    CrossCorrelation oCorrelation;
    oCorrelation.SetTemplate(&oTemplate);
    oCorrelation.SetSpectrum(&oSpectrum);
    oCorrelation.SetParameters(6050, 6650, 2, 30, 0.01);
    rusage oBefore{};
    getrusage(RUSAGE_SELF, &oBefore);
    for (auto _ : oState) {
        if (!oCorrelation.Calculate()) {
            oState.SkipWithError("the correlation failed");
        }
        benchmark::DoNotOptimize(oCorrelation.GetPeakVelocity());
    }
    rusage oAfter{};
    getrusage(RUSAGE_SELF, &oAfter);
    oState.counters["peak_kms"] = oCorrelation.GetPeakVelocity();
    oState.counters["max_rss_MiB"] = static_cast<double>(oAfter.ru_maxrss) / 1024.0;
}

} // namespace

BENCHMARK(BM_CrossCorrelation)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
