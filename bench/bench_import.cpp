// Import speed: a two-column spectrum file of 1,000,000 lines read the way the import dialog reads
// it (one pass in blocks). tools/import_vs_numpy.sh times numpy's loadtxt on the same file.
#include "core/SpectrumFileImport.h"
#include "session/Session.h"
#include "spectrum/SpectrumPlot.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string MakeSpectrumFile(int lLines)
{
    const char* pcKeep = std::getenv("QUANDREL_BENCH_IMPORT_FILE");
    const auto oPath = pcKeep != nullptr ? std::filesystem::path(pcKeep)
                                         : std::filesystem::temp_directory_path() / "quandrel-bench-import.txt";
    std::ofstream oFile(oPath, std::ios::binary);
    char acLine[64];
    for (int i = 0; i < lLines; ++i) {
        const double fWavelength = 380.0 + i * 0.0004;
        const double fIntensity = 1.0 - 0.3 / (1.0 + (fWavelength - 656.28) * (fWavelength - 656.28));
        const int lLength = std::snprintf(acLine, sizeof acLine, "%.4f\t%.6f\n", fWavelength, fIntensity);
        oFile.write(acLine, lLength);
    }
    return oPath.string();
}

void BM_ImportTwoColumns(benchmark::State& oState)
{
    const int lLines = static_cast<int>(oState.range(0));
    const std::string sFile = MakeSpectrumFile(lLines);
    ImportSettings oSettings;
    std::size_t lSamples = 0;
    for (auto _ : oState) {
        // New arrays each time, as each opening of a spectrum takes them: their memory is part of the cost.
        std::vector<double> vWavelength;
        std::vector<double> vIntensity;
        CsvFile oReader;
        SpectrumFileImport(oReader, sFile, oSettings, vWavelength, vIntensity);
        benchmark::DoNotOptimize(vWavelength.data());
        benchmark::DoNotOptimize(vIntensity.data());
        lSamples = vWavelength.size();
    }
    if (lSamples != static_cast<std::size_t>(lLines)) {
        oState.SkipWithError("wrong number of samples imported");
    }
    oState.SetItemsProcessed(oState.iterations() * lLines);
    if (std::getenv("QUANDREL_BENCH_IMPORT_FILE") == nullptr) {
        std::filesystem::remove(sFile);
    }
}

// The high-water mark of the resident size in bytes, and its reset to the present size.
long PeakResidentBytes()
{
    std::ifstream oStatus("/proc/self/status");
    for (std::string sLine; std::getline(oStatus, sLine);) {
        if (sLine.rfind("VmHWM:", 0) == 0) {
            return std::strtol(sLine.c_str() + 6, nullptr, 10) * 1024;
        }
    }
    return 0;
}

void ResetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A spectrum opened as the window opens it (read, taken into a spectrum, given to its plot): the
// peak of the resident size it adds, in copies of its two arrays (16 MB for 10^6 samples).
void BM_OpenSpectrumPeakMemory(benchmark::State& oState)
{
    const int lLines = static_cast<int>(oState.range(0));
    const std::string sFile = MakeSpectrumFile(lLines);
    const auto oIni = std::filesystem::temp_directory_path() / "quandrel-bench-memory.ini";
    double fCopies = 0.0;
    for (auto _ : oState) {
        Session oSession(oIni.string());
        ResetPeakResident();
        const long lBefore = PeakResidentBytes();
        auto oRead = oSession.Spectra().ReadTextSpectrum(sFile);
        std::unique_ptr<Spectrum> pSpectrum = std::move(*oRead);
        SpectrumPlot oPlot(nullptr, *pSpectrum);
        oPlot.PlotAllValues();
        const long lPeak = PeakResidentBytes();
        fCopies = static_cast<double>(lPeak - lBefore) / (16.0 * lLines);
        benchmark::DoNotOptimize(pSpectrum.get());
    }
    oState.counters["copies_at_peak"] = fCopies;
    if (std::getenv("QUANDREL_BENCH_IMPORT_FILE") == nullptr) {
        std::filesystem::remove(sFile);
    }
    std::filesystem::remove(oIni);
}

} // namespace

BENCHMARK(BM_ImportTwoColumns)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSpectrumPeakMemory)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
