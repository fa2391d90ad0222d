// The line search: a generated absorption spectrum of 200,000 samples holding
// 2,000 lines, searched with width index 10 (windows of 24 samples) and every
// candidate fitted.
#include "spectrum/Spectrum.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kSamples = 200000;
constexpr int kLines = 2000;

void FillSpectrum(Spectrum& oSpectrum)
{
    std::vector<double> vW(kSamples);
    std::vector<double> vI(kSamples, 1.0);
    for (int k = 0; k < kSamples; ++k) {
        vW[static_cast<std::size_t>(k)] = 4000.0 + 0.05 * k;
    }
    // One line every 100 samples, sigma 3 samples, depths 0.2 .. 0.6.
    for (int i = 0; i < kLines; ++i) {
        const int lCentre = 50 + 100 * i;
        const double fCentre = vW[static_cast<std::size_t>(lCentre)] + 0.013 * (i % 7);
        const double fDepth = 0.2 + 0.4 * ((i * 37) % 100) / 100.0;
        for (int k = lCentre - 40; k <= lCentre + 40; ++k) {
            const double d = vW[static_cast<std::size_t>(k)] - fCentre;
            vI[static_cast<std::size_t>(k)] -= fDepth * std::exp(-d * d / (2 * 0.15 * 0.15));
        }
    }
    oSpectrum.SetValues(kSamples, vW.data(), vI.data());
}

void BM_FindSpectralLines(benchmark::State& oState)
{
    Spectrum oSpectrum;
    FillSpectrum(oSpectrum);
    // Width index 10 of the 0 .. 20 slider: 2 * 10 + 4 samples; sensitivity index 10.
    const int32_t lWidth = 24;
    const double fSensitivity = 0.001 * std::pow(1000.0, 11.0 / 20.0);
    for (auto _ : oState) {
        oSpectrum.FindSpectralLines(lWidth, fSensitivity);
        benchmark::DoNotOptimize(oSpectrum.GetSpectralLineCount());
    }
    if (oSpectrum.GetSpectralLineCount() != kLines) {
        oState.SkipWithError("not every line was found");
    }
    oState.counters["lines"] = oSpectrum.GetSpectralLineCount();
    oState.SetItemsProcessed(oState.iterations() * oSpectrum.GetSpectralLineCount());
}

} // namespace

BENCHMARK(BM_FindSpectralLines)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
