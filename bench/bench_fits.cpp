// Opening FITS spectra of 1,000,000 samples: an image with a linear wavelength axis (what the
// program writes for evenly spaced samples) and a binary table (uneven samples). Compare with
// bench_import, the text file of the same size.
#include "io/FitsSpectrum.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string MakeFitsFile(int lSamples, bool bEven)
{
    const auto oPath = std::filesystem::temp_directory_path() /
                       (bEven ? "quandrel-bench-image.fits" : "quandrel-bench-table.fits");
    std::vector<double> vWavelength(static_cast<std::size_t>(lSamples));
    std::vector<double> vIntensity(static_cast<std::size_t>(lSamples));
    for (int i = 0; i < lSamples; ++i) {
        const double x = 3800.0 + i * 0.004 + (bEven ? 0.0 : 1e-9 * i * static_cast<double>(i));
        vWavelength[static_cast<std::size_t>(i)] = x;
        vIntensity[static_cast<std::size_t>(i)] = 1.0 - 0.3 / (1.0 + (x - 6562.8) * (x - 6562.8));
    }
    std::string sError;
    if (!WriteFitsSpectrum(oPath.string(), vWavelength, vIntensity, SpectrumMetadata{}, sError)) {
        return std::string();
    }
    return oPath.string();
}

void BM_OpenFits(benchmark::State& oState)
{
    const bool bEven = oState.range(1) != 0;
    const std::string sFile = MakeFitsFile(static_cast<int>(oState.range(0)), bEven);
    if (sFile.empty()) {
        oState.SkipWithError("the file could not be written");
        return;
    }
    for (auto _ : oState) {
        auto oSpectrum = ReadFitsSpectrum(sFile);
        if (!oSpectrum) {
            oState.SkipWithError(oSpectrum.Error().c_str());
            break;
        }
        benchmark::DoNotOptimize(oSpectrum->vIntensity.data());
    }
    oState.SetLabel(bEven ? "image" : "binary table");
    std::filesystem::remove(sFile);
}

} // namespace

BENCHMARK(BM_OpenFits)->Args({1000000, 1})->Args({1000000, 0})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
