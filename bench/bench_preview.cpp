// The import dialog's preview of a two-column file of 1,000,000 lines: raw
// lines and parsed table, as shown when the dialog opens (no display needed).
#include "QtBenchmarkMain.h"
#include "session/SettingsGateway.h"
#include "ui/TextImportDialog.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string MakeSpectrumFile(int lLines)
{
    const auto oPath = std::filesystem::temp_directory_path() / "quandrel-bench-preview.txt";
    std::ofstream oFile(oPath, std::ios::binary);
    char acLine[64];
    for (int i = 0; i < lLines; ++i) {
        const int lLength = std::snprintf(acLine, sizeof acLine, "%.4f\t%.6f\n", 380.0 + i * 0.0004, 1.0 - 1e-7 * i);
        oFile.write(acLine, lLength);
    }
    return oPath.string();
}

void BM_ImportDialogOpens(benchmark::State& oState)
{
    const int lLines = static_cast<int>(oState.range(0));
    const std::string sFile = MakeSpectrumFile(lLines);
    const auto oIni = std::filesystem::temp_directory_path() / "quandrel-bench-preview.ini";
    std::filesystem::remove(oIni);
    SettingsGateway oSettings(oIni.string());
    TextImportDialog oDialog(oSettings);
    for (auto _ : oState) {
        oDialog.SetFile(sFile);
        oDialog.show();
        QApplication::processEvents();
        if (oDialog.GetValueCount() != lLines) {
            oState.SkipWithError("wrong number of samples in the preview");
        }
        oDialog.close();
    }
    oState.SetItemsProcessed(oState.iterations() * lLines);
    std::filesystem::remove(sFile);
}

} // namespace

BENCHMARK(BM_ImportDialogOpens)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

QUANDREL_QT_BENCHMARK_MAIN()
