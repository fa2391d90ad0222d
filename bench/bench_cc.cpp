// One correlation run: a 600 A window of a spectrum sampled every 0.1 A
// (6,000 samples) with the dialog's defaults (2 supporting points per pixel,
// span 30, accuracy 0.01 km/s).
#include "spectrum/SpectrumClass.h"
#include "crosscorr/CrossCorrelationClass.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <sys/resource.h>
#include <vector>

namespace {

void Fill(CSpectrum& oSpectrum, double fVelocity)
{
    const double fFactor = 1.0 + fVelocity / 299792.458;
    std::vector<double> vW(7001);
    std::vector<double> vI(7001);
    for (int k = 0; k <= 7000; ++k) {
        const double x = 6000.0 + 0.1 * k;
        double y = 1.0;
        for (int i = 0; i < 40; ++i) {
            const double c = (6010.0 + 17.0 * i) * fFactor;
            y -= 0.3 * std::exp(-(x - c) * (x - c) / 0.32);
        }
        vW[static_cast<std::size_t>(k)] = x;
        vI[static_cast<std::size_t>(k)] = y;
    }
    oSpectrum.SetValues(7001, vW.data(), vI.data());
}

void BM_CrossCorrelation(benchmark::State& oState)
{
    CSpectrum oTemplate(nullptr);
    CSpectrum oSpectrum(nullptr);
    Fill(oTemplate, 0.0);
    Fill(oSpectrum, 25.0);
    CCrossCorrelation oCC;
    oCC.SetTemplate(&oTemplate);
    oCC.SetSpectrum(&oSpectrum);
    oCC.SetParameters(6050, 6650, 2, 30, 0.01);
    rusage oBefore{};
    getrusage(RUSAGE_SELF, &oBefore);
    for (auto _ : oState) {
        if (!oCC.Calculate()) {
            oState.SkipWithError("the correlation failed");
        }
        benchmark::DoNotOptimize(oCC.GetPeakVelocity());
    }
    rusage oAfter{};
    getrusage(RUSAGE_SELF, &oAfter);
    oState.counters["peak_kms"] = oCC.GetPeakVelocity();
    oState.counters["max_rss_MiB"] = static_cast<double>(oAfter.ru_maxrss) / 1024.0;
}

} // namespace

BENCHMARK(BM_CrossCorrelation)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
